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

struct Reader {
  std::string_view message;
  MailPartTable table;
  size_t leaves = 0;

  void readEntity(ByteRange range, int depth, std::string_view defaultType);
  bool readMultipart(ByteRange body, std::string_view boundary, int depth, std::string_view partType);
  void classifyLeaf(std::string_view block, std::string_view mediaType, ByteRange body);
};

std::string_view lineAt(std::string_view text, size_t at, size_t& next) {
  size_t end = text.find('\n', at);
  next = end == std::string_view::npos ? text.size() : end + 1;
  std::string_view line = text.substr(at, (end == std::string_view::npos ? text.size() : end) - at);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

enum class Delimiter { kNone, kNext, kClose };

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

// Where the line break before `lineStart` begins: a part's body ends there.
uint64_t beforeLineBreak(std::string_view message, uint64_t floor, uint64_t lineStart) {
  uint64_t end = lineStart;
  if (end > floor && message[end - 1] == '\n') --end;
  if (end > floor && message[end - 1] == '\r') --end;
  return end;
}

void Reader::readEntity(ByteRange range, int depth, std::string_view defaultType) {
  std::string_view entity = message.substr(range.start, range.size());
  EntityLayout layout = splitEntity(entity);
  std::string_view block = entity.substr(0, layout.headerEnd);
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
    size_t next = 0;
    std::string_view text = message.substr(0, body.end);
    std::string_view line = lineAt(text, at, next);
    Delimiter kind = delimiterKind(line, boundary);
    if (kind != Delimiter::kNone) {
      // Two delimiters in a row enclose nothing: no part, rather than a phantom empty one.
      uint64_t partEnd = partStart ? std::max(*partStart, beforeLineBreak(message, *partStart, at)) : 0;
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
  ParsedMessage parsed;
  std::string_view block = message.substr(0, splitEntity(message).headerEnd);
  MailHeaders& h = parsed.headers;
  h.from = decodedField(block, "From");
  h.replyTo = decodedField(block, "Reply-To");
  h.to = decodedField(block, "To");
  h.subject = decodedField(block, "Subject");
  h.cc = decodedField(block, "CC");
  h.bcc = decodedField(block, "BCC");
  h.date = decodedField(block, "Date");
  h.priority = priorityOf(block);
  Reader reader{message, {}, 0};
  reader.readEntity({0, message.size()}, 0, "text/plain");
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
