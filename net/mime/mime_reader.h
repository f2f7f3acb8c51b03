#pragma once
// Reads a whole message: its header fields (encoded words decoded) and its part table. Any bytes
// are accepted: what cannot be read as MIME ends up as a text body or an attachment, nesting and
// part counts are bounded, and every range lies inside the message.
#include <optional>
#include <string>
#include <string_view>

#include "net/mime/mail_part_table.h"
#include "net/mime/message_source.h"

namespace vexil::net::mime {

struct MailHeaders {
  std::optional<std::string> from, replyTo, to, subject, cc, bcc, date;
  int priority = 3;  // what a message without X-Priority means
  bool operator==(const MailHeaders&) const = default;
};

struct ParsedMessage {
  MailHeaders headers;
  MailPartTable parts;
  bool operator==(const ParsedMessage&) const = default;
};

// Deeper multiparts are read as attachments; parts past the count limit are left out.
constexpr int kMaxNesting = 32;
constexpr size_t kMaxParts = 100000;

ParsedMessage readMessage(std::string_view message);
// The same, over bytes read through the source (a message file read in windows).
ParsedMessage readMessage(MessageSource& source);

// A part's body decoded from its transfer encoding.
std::string decodeBody(std::string_view encoded, TransferEncoding encoding);

// What is left of a received name once any folder part ("\", "/", a drive "C:") is cut away,
// and with control characters removed; "" when nothing usable is left.
std::string safeFileName(std::string_view name);

}  // namespace vexil::net::mime
