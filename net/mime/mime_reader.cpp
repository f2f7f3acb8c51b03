#include "net/mime/mime_reader.h"

#include <algorithm>
#include <charconv>

#include "net/mime/body_base64.h"
#include "net/mime/encoded_words.h"
#include "net/mime/header_fields.h"
#include "net/mime/quoted_printable.h"

namespace vexil::net::mime {
namespace {

constexpr size_t kMaxNameLength = 260;

enum class Delimiter { kNone, kNext, kClose };

// The reader keeps offsets only: header blocks and lines are looked at through the source, so a
// message file is read in windows rather than held whole.
struct Reader {
  MessageSource& source;
  MailPartTable table;
  size_t leaves = 0;

  void readEntity(ByteRange range, int depth, std::string_view defaultType);
  bool readMultipart(ByteRange body, std::string_view boundary, int depth, std::string_view partType);
  void classifyLeaf(std::string_view block, std::string_view mediaType, ByteRange body);
  EntityLayout layoutOf(ByteRange range, std::string* block);
  Delimiter scanLine(uint64_t at, uint64_t end, std::string_view boundary, uint64_t* next);
  uint64_t beforeLineBreak(uint64_t floor, uint64_t lineStart);
};

std::string_view withoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

Delimiter delimiterKind(std::string_view line, std::string_view boundary) {
  if (line.size() < boundary.size() + 2 || line.compare(0, 2, "--") != 0 ||
      line.compare(2, boundary.size(), boundary) != 0)
    return Delimiter::kNone;
  std::string_view rest = line.substr(boundary.size() + 2);
  bool close = rest.compare(0, 2, "--") == 0;
  if (close) rest.remove_prefix(2);
  if (rest.find_first_not_of(" \t") != std::string_view::npos) return Delimiter::kNone;
  return close ? Delimiter::kClose : Delimiter::kNext;
}

// True when the line that ended the header block lies whole in the prefix, so the whole entity
// would end its header block at the same place.
bool decidedWithin(std::string_view prefix, const EntityLayout& layout) {
  return layout.headerEnd < prefix.size() && prefix.find('\n', layout.headerEnd) != std::string_view::npos;
}

// The entity's header block, read in a window that grows only for a block longer than it.
EntityLayout Reader::layoutOf(ByteRange range, std::string* block) {
  for (uint64_t want = std::min<uint64_t>(source.windowBytes(), 64 * 1024);; want *= 2) {
    uint64_t length = std::min<uint64_t>(range.size(), want);
    std::string_view prefix = source.view(range.start, size_t(length));
    EntityLayout layout = splitEntity(prefix);
    if (prefix.size() < want || decidedWithin(prefix, layout)) {
      block->assign(prefix.substr(0, layout.headerEnd));
      return layout;
    }
  }
}

// The line at `at` (ending at the next LF or at `end`) as a delimiter of the boundary or not;
// *next is where the following line starts. Lines longer than the window are skipped over without
// being held, unless they begin like a delimiter.
Delimiter Reader::scanLine(uint64_t at, uint64_t end, std::string_view boundary, uint64_t* next) {
  size_t window = size_t(std::min<uint64_t>(end - at, source.windowBytes()));
  std::string_view piece = source.piece(at, end);
  size_t lf = piece.find('\n');
  if (lf == std::string_view::npos && piece.size() < end - at) {  // the line runs past the window
    piece = source.view(at, window);
    lf = piece.find('\n');
  }
  if (lf != std::string_view::npos || piece.size() == end - at || piece.size() < window) {
    size_t length = lf != std::string_view::npos ? lf : piece.size();
    *next = at + length + (lf != std::string_view::npos ? 1 : 0);
    if (*next == at) *next = end;  // a file that reads short: the rest is out of reach
    return delimiterKind(withoutCarriageReturn(piece.substr(0, length)), boundary);
  }
  bool mayBeDelimiter = piece.size() < boundary.size() + 2 ||
                        (piece.compare(0, 2, "--") == 0 && piece.compare(2, boundary.size(), boundary) == 0);
  std::string line(mayBeDelimiter ? piece : std::string_view());
  for (uint64_t from = at + piece.size();;) {
    piece = source.view(from, size_t(std::min<uint64_t>(end - from, source.windowBytes())));
    lf = piece.find('\n');
    size_t length = lf != std::string_view::npos ? lf : piece.size();
    if (mayBeDelimiter) line.append(piece.substr(0, length));
    from += length;
    if (lf != std::string_view::npos || piece.empty() || from >= end) {
      *next = from + (lf != std::string_view::npos ? 1 : 0);
      break;
    }
  }
  return mayBeDelimiter ? delimiterKind(withoutCarriageReturn(line), boundary) : Delimiter::kNone;
}

// Where the line break before `lineStart` begins: a part's body ends there.
uint64_t Reader::beforeLineBreak(uint64_t floor, uint64_t lineStart) {
  uint64_t end = lineStart;
  if (end > floor && source.view(end - 1, 1) == "\n") --end;
  if (end > floor && source.view(end - 1, 1) == "\r") --end;
  return end;
}

void Reader::readEntity(ByteRange range, int depth, std::string_view defaultType) {
  std::string block;
  EntityLayout layout = layoutOf(range, &block);
  std::optional<std::string> contentType = findHeaderField(block, "Content-Type");
  // A part without a Content-Type is plain text, as it has always been for mail (a digest's parts
  // are messages); so is one whose type is not of the form "type/subtype".
  std::string mediaType = contentType ? mediaTypeOf(*contentType) : std::string(defaultType);
  if (mediaType.find('/') == std::string::npos) mediaType = "text/plain";
  ByteRange body{range.start + layout.bodyStart, range.end};
  if (mediaType.rfind("multipart/", 0) == 0 && depth < kMaxNesting) {
    std::string boundary = headerParameter(*contentType, "boundary");
    std::string_view partType = mediaType == "multipart/digest" ? "message/rfc822" : "text/plain";
    if (!boundary.empty() && readMultipart(body, boundary, depth, partType)) return;
  }
  classifyLeaf(block, mediaType, body);
}

// Reads each part between delimiter lines; false when there is no delimiter at all.
bool Reader::readMultipart(ByteRange body, std::string_view boundary, int depth, std::string_view partType) {
  std::optional<uint64_t> partStart;
  uint64_t at = body.start;
  while (at < body.end) {
    uint64_t next = 0;
    Delimiter kind = scanLine(at, body.end, boundary, &next);
    if (kind != Delimiter::kNone) {
      // Two delimiters in a row enclose nothing: no part, rather than a phantom empty one.
      uint64_t partEnd = partStart ? std::max(*partStart, beforeLineBreak(*partStart, at)) : 0;
      if (partStart && partEnd > *partStart) readEntity({*partStart, partEnd}, depth + 1, partType);
      if (kind == Delimiter::kClose) return true;
      partStart = next;
    }
    at = next;
  }
  if (partStart) readEntity({*partStart, body.end}, depth + 1, partType);  // never closed: runs to the end
  return partStart.has_value();
}

std::string partName(std::string_view block, size_t number) {
  std::string name;
  if (std::optional<std::string> disposition = findHeaderField(block, "Content-Disposition"))
    name = headerParameter(*disposition, "filename");
  if (name.empty())
    if (std::optional<std::string> type = findHeaderField(block, "Content-Type"))
      name = headerParameter(*type, "name");
  name = safeFileName(decodeEncodedWords(name));
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
  return name.empty() ? "attachment " + std::to_string(number) : name;
}

std::string contentIdOf(std::string_view block) {
  std::string id = singleLine(findHeaderField(block, "Content-ID").value_or(""));
  if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
  return id;
}

void Reader::classifyLeaf(std::string_view block, std::string_view mediaType, ByteRange body) {
  if (++leaves > kMaxParts) return;
  TransferEncoding encoding = transferEncodingFrom(findHeaderField(block, "Content-Transfer-Encoding").value_or(""));
  std::optional<std::string> disposition = findHeaderField(block, "Content-Disposition");
  bool attachment = disposition && mediaTypeOf(*disposition) == "attachment";
  std::string fullType = findHeaderField(block, "Content-Type").value_or(std::string(mediaType));
  if (!attachment && mediaType == "text/html" && !table.html) {
    table.html = MailBody{body, encoding, fullType};
  } else if (!attachment && mediaType.rfind("text/", 0) == 0 && !table.text) {
    table.text = MailBody{body, encoding, fullType};
  } else if (!attachment && table.html && !headerParameter(fullType, "name").empty()) {
    table.htmlItems.push_back({body, encoding, std::string(mediaType),
                               partName(block, table.htmlItems.size() + 1), contentIdOf(block)});
  } else {
    table.attachments.push_back({body, encoding, std::string(mediaType),
                                 partName(block, table.attachments.size() + 1), {}});
  }
}

std::optional<std::string> decodedField(std::string_view block, std::string_view name) {
  std::optional<std::string> value = findHeaderField(block, name);
  if (value) value = decodeEncodedWords(*value);
  return value;
}

int priorityOf(std::string_view block) {
  std::optional<std::string> value = findHeaderField(block, "X-Priority");
  int priority = 3;
  if (value && std::from_chars(value->data(), value->data() + value->size(), priority).ec != std::errc())
    priority = 3;
  return priority;
}

}  // namespace

ParsedMessage readMessage(std::string_view message) {
  MessageSource source(message);
  return readMessage(source);
}

ParsedMessage readMessage(MessageSource& source) {
  ParsedMessage parsed;
  Reader reader{source, {}, 0};
  std::string block;
  reader.layoutOf({0, source.size()}, &block);
  MailHeaders& h = parsed.headers;
  h.from = decodedField(block, "From");
  h.replyTo = decodedField(block, "Reply-To");
  h.to = decodedField(block, "To");
  h.subject = decodedField(block, "Subject");
  h.cc = decodedField(block, "CC");
  h.bcc = decodedField(block, "BCC");
  h.date = decodedField(block, "Date");
  h.priority = priorityOf(block);
  reader.readEntity({0, source.size()}, 0, "text/plain");
  parsed.parts = std::move(reader.table);
  return parsed;
}

std::string decodeBody(std::string_view encoded, TransferEncoding encoding) {
  switch (encoding) {
    case TransferEncoding::kQuotedPrintable: return decodeQuotedPrintable(encoded);
    case TransferEncoding::kBase64: return decodeBase64Body(encoded);
    case TransferEncoding::kBinary: break;
  }
  return std::string(encoded);
}

std::string safeFileName(std::string_view name) {
  size_t cut = name.find_last_of("\\/");
  if (cut != std::string_view::npos) name.remove_prefix(cut + 1);
  if (name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
  std::string out;
  for (unsigned char c : name) {
    if (c < 32 || c == 127) continue;
    out += std::string_view("<>:\"|?*").find(char(c)) == std::string_view::npos ? char(c) : '_';
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

}  // namespace vexil::net::mime
