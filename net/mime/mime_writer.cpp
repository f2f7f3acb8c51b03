#include "net/mime/mime_writer.h"

#include <algorithm>
#include <cstdio>

#include "net/mime/body_base64.h"
#include "net/mime/encoded_words.h"
#include "net/mime/header_fields.h"
#include "net/mime/quoted_printable.h"

namespace vexil::net::mime {
namespace {

constexpr size_t kCopyPiece = 57 * 1024;  // whole base64 lines of 76 columns
constexpr std::string_view kPreamble = "This is a multi-part message in MIME format.\r\n\r\n";

// A Content-ID as it goes between the angle brackets: one line, no brackets of its own.
std::string contentIdText(std::string_view id) {
  std::string out;
  for (char c : singleLine(id))
    if (c != '<' && c != '>') out += c;
  return out;
}

class StringSink : public BodySink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void write(std::string_view bytes) override { out_ += bytes; }
  uint64_t written() const override { return out_.size(); }

 private:
  std::string& out_;
};

// Whether text occurs in the bytes a part is written from. A part encoded in base64 as it is
// copied cannot hold a boundary (boundaries have "_", which base64 never writes).
bool occursIn(std::string_view text, std::string_view stored, const std::optional<FileBytes>& file) {
  if (!file) return stored.find(text) != std::string_view::npos;
  if (file->encodeBase64) return false;
  std::string carry;
  bool found = false;
  readFileRange(*file->file, file->range, [&](std::string_view piece) {
    if (found) return;
    carry += piece;
    found = carry.find(text) != std::string::npos;
    if (carry.size() >= text.size()) carry.erase(0, carry.size() - (text.size() - 1));
  });
  return found;
}

struct Writer {
  const MailDraft& draft;
  BoundaryMaker& boundaries;
  BodySink& sink;
  MailPartTable table;

  void write(std::string_view text) { sink.write(text); }
  void delimiter(std::string_view b) { write("--" + std::string(b) + "\r\n"); }
  void closeDelimiter(std::string_view b) { write("--" + std::string(b) + "--\r\n\r\n"); }

  // Boundaries must not occur in any part copied as it is.
  std::string boundary() {
    for (;;) {
      std::string b = boundaries.next();
      if (!occursInParts(b)) return b;
    }
  }
  bool occursInParts(std::string_view b) const {
    if ((draft.text && occursIn(b, draft.text->stored, draft.text->file)) ||
        (draft.html && occursIn(b, draft.html->stored, draft.html->file)))
      return true;
    for (const DraftPart& p : draft.attachments)
      if (occursIn(b, p.stored, p.file)) return true;
    for (const DraftPart& p : draft.htmlItems)
      if (occursIn(b, p.stored, p.file)) return true;
    return false;
  }

  // The body's bytes, recorded, then the line break that belongs to the next delimiter (a body that
  // is the whole message has none, so it reads back without a line break added).
  ByteRange body(std::string_view stored, const std::optional<FileBytes>& file, bool delimited = true) {
    uint64_t start = sink.written();
    if (!file) {
      write(stored);
    } else if (!file->encodeBase64) {
      readFileRange(*file->file, file->range, [&](std::string_view piece) { write(piece); });
    } else {
      // Pieces of whole 57-byte groups give whole 76-column lines, so the pieces join seamlessly.
      std::string carry;
      readFileRange(*file->file, file->range, [&](std::string_view piece) {
        carry += piece;
        size_t whole = carry.size() - carry.size() % 57;
        write(encodeBase64Lines(std::string_view(carry).substr(0, whole), 76));
        carry.erase(0, whole);
      });
      write(encodeBase64Lines(carry, 76));
    }
    ByteRange range{start, sink.written()};
    if (delimited) write("\r\n");
    return range;
  }

  void textPart(const std::optional<DraftBody>& body, std::string_view mediaType, std::optional<MailBody>& slot,
                bool delimited = true) {
    DraftBody none{std::string(mediaType) + "; charset=\"us-ascii\"", TransferEncoding::kBinary, {}, {}};
    const DraftBody& b = body ? *body : none;
    write("Content-Type: " + singleLine(b.contentType) + "\r\n");
    write(std::string("Content-Transfer-Encoding: ") + transferEncodingName(b.encoding) + "\r\n\r\n");
    ByteRange range = this->body(b.stored, b.file, delimited);
    if (body) slot = MailBody{range, b.encoding, singleLine(b.contentType)};
  }

  void alternativeBlock() {
    std::string b3 = boundary();
    write("Content-Type: multipart/alternative;\r\n\tboundary=\"" + b3 + "\"\r\n\r\n");
    delimiter(b3);
    textPart(draft.text, "text/plain", table.text);
    delimiter(b3);
    textPart(draft.html, "text/html", table.html);
    closeDelimiter(b3);
  }

  void partList(const std::vector<DraftPart>& parts, bool items, std::string_view b) {
    for (const DraftPart& p : parts) {
      delimiter(b);
      write("Content-Type: " + singleLine(p.contentType) + ";" + nameParameter("name", p.name) + "\r\n");
      write(std::string("Content-Transfer-Encoding: ") + transferEncodingName(p.encoding) + "\r\n");
      if (items) write("Content-ID: <" + contentIdText(p.contentId) + ">\r\n\r\n");
      else write("Content-Disposition: attachment;" + nameParameter("filename", p.name) + "\r\n\r\n");
      ByteRange range = body(p.stored, p.file);
      (items ? table.htmlItems : table.attachments)
          .push_back({range, p.encoding, singleLine(p.contentType), p.name, p.contentId});
    }
    closeDelimiter(b);
  }

  // name="x", or the RFC 2231 form for names outside printable ASCII; folded onto its own line.
  static std::string nameParameter(std::string_view attribute, std::string_view name) {
    bool plain = true;
    for (unsigned char c : name) plain = plain && c >= 32 && c < 127 && c != '"' && c != '\\';
    if (plain) return "\r\n\t" + std::string(attribute) + "=\"" + std::string(name) + "\"";
    std::string encoded = "\r\n\t" + std::string(attribute) + "*=utf-8''";
    for (unsigned char c : name) {
      if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-' || c == '_') {
        encoded += char(c);
      } else {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        encoded += hex;
      }
    }
    return encoded;
  }

  void generalForm(std::string_view b1) {
    std::string b2 = boundary();
    delimiter(b1);
    write("Content-Type: multipart/related;\r\n\tboundary=\"" + b2 + "\";\r\n\ttype=\"multipart/alternative\"\r\n\r\n");
    delimiter(b2);
    alternativeBlock();
    partList(draft.htmlItems, true, b2);
    partList(draft.attachments, false, b1);
  }

  void compose() {
    bool hasAttachments = !draft.attachments.empty(), hasItems = !draft.htmlItems.empty();
    bool hasHtml = draft.html.has_value() || hasItems;  // items without HTML still get their block
    if (hasAttachments) {
      std::string b1 = boundary();
      write("Content-Type: multipart/mixed;\r\n\tboundary=\"" + b1 + "\"\r\n\r\n");
      write(kPreamble);
      if (hasHtml) return generalForm(b1);
      if (draft.text) {
        delimiter(b1);
        textPart(draft.text, "text/plain", table.text);
      }
      return partList(draft.attachments, false, b1);
    }
    if (hasHtml) {
      std::string b1 = boundary();
      write("Content-Type: multipart/related;\r\n\ttype=\"multipart/alternative\";\r\n\tboundary=\"" + b1 + "\"\r\n\r\n");
      write(kPreamble);
      if (!hasItems) return generalForm(b1);
      delimiter(b1);
      alternativeBlock();
      return partList(draft.htmlItems, true, b1);
    }
    textPart(draft.text, "text/plain", table.text, false);
  }
};

void headerLine(std::string& block, std::string_view name, const std::optional<std::string>& value, bool always) {
  if (!value && !always) return;
  std::string text = value ? encodeHeaderText(singleLine(*value), name.size() + 2) : std::string();
  block += std::string(name) + ": " + (value || name == "Subject" ? text : " ") + "\r\n";
}

}  // namespace

std::string BoundaryMaker::next() {
  char text[80];
  std::snprintf(text, sizeof text, "====_LUMARC_MAIL_PART_%X.%X.%X_====", unsigned(process), unsigned(tick),
                unsigned(counter++));
  return text;
}

ComposedBody composeBody(const MailDraft& draft, BoundaryMaker& boundaries) {
  ComposedBody out;
  StringSink sink(out.bytes);
  out.parts = composeBodyTo(draft, boundaries, sink);
  return out;
}

MailPartTable composeBodyTo(const MailDraft& draft, BoundaryMaker& boundaries, BodySink& sink) {
  Writer writer{draft, boundaries, sink, {}};
  writer.compose();
  return std::move(writer.table);
}

void FileSink::write(std::string_view bytes) {
  if (file_.write(bytes.data(), bytes.size()) != bytes.size()) failed_ = true;
  written_ += bytes.size();
}

bool readFileRange(platform::StdioFile& file, ByteRange range, const std::function<void(std::string_view)>& use) {
  if (!file.isOpen() || range.end < range.start || !file.seek(int64_t(range.start))) return false;
  std::string buffer(std::min<uint64_t>(kCopyPiece, range.size()), '\0');
  uint64_t left = range.size();
  while (left > 0) {
    size_t want = size_t(std::min<uint64_t>(buffer.size(), left));
    size_t got = file.read(buffer.data(), want);
    if (got == 0) return false;
    use(std::string_view(buffer.data(), got));
    left -= got;
  }
  return true;
}

MailDraft draftOfFile(const MailPartTable& parts, platform::StdioFile& file) {
  auto kept = [&](ByteRange r) { return std::optional<FileBytes>(FileBytes{&file, r, false}); };
  MailDraft draft;
  if (parts.text) draft.text = DraftBody{parts.text->contentType, parts.text->encoding, {}, kept(parts.text->range)};
  if (parts.html) draft.html = DraftBody{parts.html->contentType, parts.html->encoding, {}, kept(parts.html->range)};
  for (const MailPart& p : parts.attachments)
    draft.attachments.push_back({p.contentType, p.name, {}, p.encoding, {}, kept(p.range)});
  for (const MailPart& p : parts.htmlItems)
    draft.htmlItems.push_back({p.contentType, p.name, p.contentId, p.encoding, {}, kept(p.range)});
  return draft;
}

MailDraft draftOf(const MailPartTable& parts, std::string_view message) {
  auto bytes = [&](ByteRange r) { return message.substr(r.start, r.size()); };
  MailDraft draft;
  if (parts.text) draft.text = DraftBody{parts.text->contentType, parts.text->encoding, bytes(parts.text->range), {}};
  if (parts.html) draft.html = DraftBody{parts.html->contentType, parts.html->encoding, bytes(parts.html->range), {}};
  for (const MailPart& p : parts.attachments)
    draft.attachments.push_back({p.contentType, p.name, {}, p.encoding, bytes(p.range), {}});
  for (const MailPart& p : parts.htmlItems)
    draft.htmlItems.push_back({p.contentType, p.name, p.contentId, p.encoding, bytes(p.range), {}});
  return draft;
}

DraftBody newTextBody(std::string_view mediaType, std::string_view utf8, std::string& storage) {
  storage = encodeQuotedPrintable(utf8);
  return {std::string(mediaType) + "; charset=\"utf-8\"", TransferEncoding::kQuotedPrintable, storage, {}};
}

std::string composeHeaderBlock(const MailHeaders& headers, int priority, bool withBcc) {
  std::string block;
  headerLine(block, "From", headers.from, true);
  headerLine(block, "To", headers.to, true);
  headerLine(block, "Reply-To", headers.replyTo, false);
  headerLine(block, "CC", headers.cc, false);
  if (withBcc) headerLine(block, "BCC", headers.bcc, false);
  headerLine(block, "Subject", headers.subject, true);
  headerLine(block, "Date", headers.date, false);
  block += "MIME-Version: 1.0\r\nX-Mailer: Lumarc.Vexil\r\nX-Priority: " + std::to_string(priority) + "\r\n";
  return block;
}

}  // namespace vexil::net::mime
