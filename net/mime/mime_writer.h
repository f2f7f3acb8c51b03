#pragma once
// Composes messages. A draft names each part either by its encoded bytes in the old message (kept
// parts are copied as they are) or by new encoded bytes; the composer lays out the multipart
// structure and answers the new body with a part table over it. The header block is generated
// from the fields separately, so a transport can compose it without the Bcc line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/mime/mail_part_table.h"
#include "net/mime/mime_reader.h"

namespace vexil::net::mime {

struct DraftBody {
  std::string contentType;  // full value, e.g. text/plain; charset="utf-8"
  TransferEncoding encoding = TransferEncoding::kQuotedPrintable;
  std::string_view stored;  // the encoded bytes
};

struct DraftPart {
  std::string contentType;  // the media type alone
  std::string name;
  std::string contentId;  // HTML items only
  TransferEncoding encoding = TransferEncoding::kBase64;
  std::string_view stored;
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

// The draft that keeps every part of a parsed message as its encoded bytes.
MailDraft draftOf(const MailPartTable& parts, std::string_view message);

// A new text body: its bytes (UTF-8) in quoted-printable, labelled text/plain or text/html.
DraftBody newTextBody(std::string_view mediaType, std::string_view utf8, std::string& storage);

// The header block, CR LF after each line; the body's Content-Type line closes it.
std::string composeHeaderBlock(const MailHeaders& headers, int priority, bool withBcc);

}  // namespace vexil::net::mime
