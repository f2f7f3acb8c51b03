#include "net/mime/mail_message.h"

#include <chrono>
#include <string>

#include "net/mime/body_base64.h"
#include "net/mime/header_fields.h"
#include "net/mime/mime_writer.h"
#include "platform/environment.h"

namespace vexil::net::mime {
namespace {

// Boundaries of one message share a seed; a random one (rather than the process identifier) keeps
// two messages composed in the same millisecond apart.
BoundaryMaker newBoundaries() {
  BoundaryMaker maker;
  std::string guid = platform::newGuidText();
  maker.process = uint32_t(std::stoul(guid.substr(1, 8), nullptr, 16));
  maker.tick = uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
  return maker;
}

// Base64 decoded in pieces: characters outside the alphabet are skipped and the first "=" ends it,
// as decodeBase64Body reads a whole body.
class Base64Pieces {
 public:
  std::string take(std::string_view text, bool last) {
    for (char c : text) {
      if (ended_) break;
      if (c == '=') ended_ = true;
      else if (isAlphabet(c)) group_ += c;
    }
    size_t whole = last || ended_ ? group_.size() : group_.size() - group_.size() % 4;
    std::string out = decodeBase64Body(std::string_view(group_).substr(0, whole));
    group_.erase(0, whole);
    return out;
  }

 private:
  static bool isAlphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
  }
  std::string group_;
  bool ended_ = false;
};

bool copyFile(platform::StdioFile& from, platform::StdioFile& to) {
  if (!from.seek(0)) return false;
  std::string buffer(64 * 1024, '\0');
  for (;;) {
    size_t got = from.read(buffer.data(), buffer.size());
    if (got == 0) return true;
    if (to.write(buffer.data(), got) != got) return false;
  }
}

void shift(ByteRange& r, uint64_t by) {
  r.start += by;
  r.end += by;
}

}  // namespace

std::unique_ptr<MailMessage> MailMessage::create() {
  auto message = std::make_unique<MailMessage>();
  message->file_ = platform::StdioFile::openTemporary();
  if (!message->file_.isOpen() || !message->recompose(MailDraft{})) return nullptr;
  return message;
}

std::unique_ptr<MailMessage> MailMessage::fromBytes(std::string_view bytes) {
  platform::StdioFile file = platform::StdioFile::openTemporary();
  if (!file.isOpen() || file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) return nullptr;
  auto message = std::make_unique<MailMessage>();
  if (!message->takeMessage(std::move(file))) return nullptr;
  return message;
}

// The file is read through a window while parsing: the part table keeps offsets into it, so even
// a message with a large attachment is never held in memory whole.
bool MailMessage::takeMessage(platform::StdioFile file) {
  int64_t length = file.length();
  if (length < 0) return false;
  bool readFailed = false;
  MessageSource source(uint64_t(length), [&](uint64_t offset, char* into, size_t size) -> size_t {
    size_t got = file.seek(int64_t(offset)) ? file.read(into, size) : 0;
    if (got != size) readFailed = true;
    return got;
  });
  ParsedMessage parsed = readMessage(source);
  if (readFailed) return false;
  file_ = std::move(file);
  headers_ = std::move(parsed.headers);
  priority_ = headers_.priority;
  parts_ = std::move(parsed.parts);
  modified_ = false;
  return true;
}

bool MailMessage::recompose(const MailDraft& draft) {
  platform::StdioFile next = platform::StdioFile::openTemporary();
  if (!next.isOpen()) return false;
  FileSink sink(next);
  BoundaryMaker boundaries = newBoundaries();
  MailPartTable parts = composeBodyTo(draft, boundaries, sink);
  if (sink.failed() || !next.flush()) return false;
  file_ = std::move(next);
  parts_ = std::move(parts);
  modified_ = true;
  return true;
}

// A loaded or completed message holds its header block in the file: a change to a field alone
// recomposes the body so the file holds only the body again.
bool MailMessage::markModified() { return modified_ || recompose(draftOfFile(parts_, file_)); }

bool MailMessage::setField(HeaderField field, std::string utf8) {
  if (!markModified()) return false;
  headers_.*field = std::move(utf8);
  return true;
}

bool MailMessage::setPriority(int priority) {
  if (!markModified()) return false;
  priority_ = priority;
  return true;
}

bool MailMessage::setText(std::string_view utf8) {
  MailDraft draft = draftOfFile(parts_, file_);
  std::string storage;
  draft.text = newTextBody("text/plain", utf8, storage);
  return recompose(draft);
}

bool MailMessage::setHtml(std::string_view utf8) {
  MailDraft draft = draftOfFile(parts_, file_);
  std::string storage;
  draft.html = newTextBody("text/html", utf8, storage);
  return recompose(draft);
}

bool MailMessage::addAttachment(std::string_view path, std::string_view name, std::string_view contentType) {
  MailDraft draft = draftOfFile(parts_, file_);
  platform::StdioFile source = platform::StdioFile::open(path, "rb");
  int64_t length = source.isOpen() ? source.length() : 0;
  DraftPart part{std::string(contentType), std::string(name), {}, TransferEncoding::kBase64, {}, {}};
  if (length > 0) part.file = FileBytes{&source, {0, uint64_t(length)}, true};
  draft.attachments.push_back(std::move(part));
  return recompose(draft);
}

bool MailMessage::addHtmlItem(std::string_view path, std::string_view name, std::string_view id,
                              std::string_view contentType) {
  MailDraft draft = draftOfFile(parts_, file_);
  platform::StdioFile source = platform::StdioFile::open(path, "rb");
  int64_t length = source.isOpen() ? source.length() : 0;
  DraftPart part{std::string(contentType), std::string(name), std::string(id), TransferEncoding::kBase64, {}, {}};
  if (length > 0) part.file = FileBytes{&source, {0, uint64_t(length)}, true};
  draft.htmlItems.push_back(std::move(part));
  return recompose(draft);
}

bool MailMessage::removeAttachment(size_t index) {
  if (index >= parts_.attachments.size()) return false;
  MailDraft draft = draftOfFile(parts_, file_);
  draft.attachments.erase(draft.attachments.begin() + ptrdiff_t(index));
  return recompose(draft);
}

bool MailMessage::removeHtmlItem(size_t index) {
  if (index >= parts_.htmlItems.size()) return false;
  MailDraft draft = draftOfFile(parts_, file_);
  draft.htmlItems.erase(draft.htmlItems.begin() + ptrdiff_t(index));
  return recompose(draft);
}

uint64_t MailMessage::size() {
  int64_t length = file_.length();
  uint64_t total = length > 0 ? uint64_t(length) : 0;
  if (modified_) total += composeHeaderBlock(headers_, priority_, true).size();
  return total;
}

std::string MailMessage::decoded(const std::optional<MailBody>& body) {
  if (!body) return {};
  std::string encoded;
  readFileRange(file_, body->range, [&](std::string_view piece) { encoded += piece; });
  return decodeBody(encoded, body->encoding);
}

bool MailMessage::savePart(const MailPart& part, std::string_view path) {
  platform::StdioFile out = platform::StdioFile::open(path, "wb");
  if (!out.isOpen()) return false;
  bool ok = true;
  if (part.encoding == TransferEncoding::kBase64) {
    Base64Pieces decoder;
    ok = readFileRange(file_, part.range, [&](std::string_view piece) {
      std::string bytes = decoder.take(piece, false);
      ok = ok && out.write(bytes.data(), bytes.size()) == bytes.size();
    }) && ok;
    std::string rest = decoder.take({}, true);
    ok = ok && out.write(rest.data(), rest.size()) == rest.size();
  } else {
    std::string encoded;
    ok = readFileRange(file_, part.range, [&](std::string_view piece) { encoded += piece; }) || part.range.size() == 0;
    std::string bytes = decodeBody(encoded, part.encoding);
    ok = ok && out.write(bytes.data(), bytes.size()) == bytes.size();
  }
  return out.close() && ok;
}

bool MailMessage::complete() {
  if (!modified_) return true;
  platform::StdioFile next = platform::StdioFile::openTemporary();
  if (!next.isOpen()) return false;
  std::string block = composeHeaderBlock(headers_, priority_, true);
  if (next.write(block.data(), block.size()) != block.size() || !copyFile(file_, next) || !next.flush()) return false;
  file_ = std::move(next);
  for (std::optional<MailBody>* body : {&parts_.text, &parts_.html})
    if (*body) shift((*body)->range, block.size());
  for (auto* list : {&parts_.attachments, &parts_.htmlItems})
    for (MailPart& p : *list) shift(p.range, block.size());
  modified_ = false;
  return true;
}

std::optional<std::string> MailMessage::fileBytes(uint64_t from) {
  int64_t length = file_.length();
  if (length < 0 || uint64_t(length) < from) return std::nullopt;
  std::string bytes;
  bytes.reserve(size_t(uint64_t(length) - from));
  if (!readFileRange(file_, {from, uint64_t(length)}, [&](std::string_view piece) { bytes += piece; }) &&
      uint64_t(length) > from)
    return std::nullopt;
  return bytes;
}

std::optional<std::string> MailMessage::asText() {
  if (!complete()) return std::nullopt;
  return fileBytes(0);
}

bool MailMessage::save(std::string_view path) {
  if (!complete()) return false;
  platform::StdioFile out = platform::StdioFile::open(path, "w+b");
  if (!out.isOpen()) return false;
  bool copied = copyFile(file_, out);
  return out.close() && copied;
}

bool MailMessage::load(std::string_view path) {
  platform::StdioFile in = platform::StdioFile::open(path, "rb");
  if (!in.isOpen()) return false;
  platform::StdioFile next = platform::StdioFile::openTemporary();
  if (!next.isOpen() || !copyFile(in, next) || !next.flush()) return false;
  return takeMessage(std::move(next));
}

std::optional<std::string> MailMessage::transportBytes() {
  if (modified_) {
    std::optional<std::string> body = fileBytes(0);
    if (!body) return std::nullopt;
    return composeHeaderBlock(headers_, priority_, false) + *body;
  }
  std::optional<std::string> message = fileBytes(0);
  if (!message) return std::nullopt;
  EntityLayout layout = splitEntity(*message);
  return withoutField(std::string_view(*message).substr(0, layout.headerEnd), "Bcc") +
         message->substr(layout.headerEnd);
}

}  // namespace vexil::net::mime
