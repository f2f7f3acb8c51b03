#pragma once
// Composes messages. A draft names each part either by its encoded bytes in the old message (kept
// parts are copied as they are) or by new encoded bytes; the composer lays out the multipart
// structure and answers the new body with a part table over it. The header block is generated
// from the fields separately, so a transport can compose it without the Bcc line.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/mime/mail_part_table.h"
#include "net/mime/mime_reader.h"
#include "platform/stdio_file.h"

namespace vexil::net::mime {

// A part's bytes kept in a file rather than in memory, so a large part is copied in pieces: a
// range of the file as it is (a kept part), or the range's raw bytes encoded in base64 lines of 76
// columns as they are copied (a new attachment). When set it is used in place of `stored`.
struct FileBytes {
  platform::StdioFile* file = nullptr;
  ByteRange range;
  bool encodeBase64 = false;
};

struct DraftBody {
  std::string contentType;  // full value, e.g. text/plain; charset="utf-8"
  TransferEncoding encoding = TransferEncoding::kQuotedPrintable;
  std::string_view stored;  // the encoded bytes
  std::optional<FileBytes> file;
};

struct DraftPart {
  std::string contentType;  // the media type alone
  std::string name;
  std::string contentId;  // HTML items only
  TransferEncoding encoding = TransferEncoding::kBase64;
  std::string_view stored;
  std::optional<FileBytes> file;
};

struct MailDraft {
  std::optional<DraftBody> text, html;
  std::vector<DraftPart> attachments, htmlItems;
};

// Makes the boundaries of one message: the caller's seed (process and clock) and a counter that
// differs between the boundaries of one message.
struct BoundaryMaker {
  uint32_t process = 0;
  uint32_t tick = 0;
  uint32_t counter = 0;
  std::string next();
};

struct ComposedBody {
  std::string bytes;    // starts with its Content-Type line
  MailPartTable parts;  // ranges into bytes
};

ComposedBody composeBody(const MailDraft& draft, BoundaryMaker& boundaries);

// Where composed bytes go.
class BodySink {
 public:
  virtual ~BodySink() = default;
  virtual void write(std::string_view bytes) = 0;
  virtual uint64_t written() const = 0;
};

// Writes into a file (from its current position); failed() after any short write.
class FileSink : public BodySink {
 public:
  explicit FileSink(platform::StdioFile& file) : file_(file) {}
  void write(std::string_view bytes) override;
  uint64_t written() const override { return written_; }
  bool failed() const { return failed_; }

 private:
  platform::StdioFile& file_;
  uint64_t written_ = 0;
  bool failed_ = false;
};

// The same composition written into a sink; the part table's ranges count from the sink's start.
MailPartTable composeBodyTo(const MailDraft& draft, BoundaryMaker& boundaries, BodySink& sink);

// The draft that keeps every part of a parsed message as a range of the file that holds it.
MailDraft draftOfFile(const MailPartTable& parts, platform::StdioFile& file);

// Calls use with the bytes of [range] of the file, in pieces of at most a buffer's size; false when
// the file could not be read to the range's end.
bool readFileRange(platform::StdioFile& file, ByteRange range, const std::function<void(std::string_view)>& use);

// The draft that keeps every part of a parsed message as its encoded bytes.
MailDraft draftOf(const MailPartTable& parts, std::string_view message);

// A new text body: its bytes (UTF-8) in quoted-printable, labelled text/plain or text/html.
DraftBody newTextBody(std::string_view mediaType, std::string_view utf8, std::string& storage);

// The header block, CR LF after each line; the body's Content-Type line closes it.
std::string composeHeaderBlock(const MailHeaders& headers, int priority, bool withBcc);

}  // namespace vexil::net::mime
