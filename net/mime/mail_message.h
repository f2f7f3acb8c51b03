#pragma once
// A mail message over its message file: the header fields beside the file, and a part table that
// records where each part's encoded bytes lie in it. Every change recomposes the body into a new
// file, copying kept parts by range in pieces, so a large attachment is never held in memory whole.
// While modified the file holds only the body (from its Content-Type line) and the header block is
// generated from the fields; once completed (saved, read as text) or loaded it holds the whole
// message. Fields and new text are UTF-8.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/mime/mail_part_table.h"
#include "net/mime/mime_reader.h"
#include "net/mime/mime_writer.h"
#include "platform/stdio_file.h"

namespace vexil::net::mime {

using HeaderField = std::optional<std::string> MailHeaders::*;

class MailMessage {
 public:
  // A new message with an empty text body and priority 0; null when no temporary file can be made.
  static std::unique_ptr<MailMessage> create();
  // A message over received bytes, parsed and not modified; null when no temporary file can be made.
  static std::unique_ptr<MailMessage> fromBytes(std::string_view message);

  const MailHeaders& headers() const { return headers_; }
  int priority() const { return priority_; }
  bool modified() const { return modified_; }
  const MailPartTable& parts() const { return parts_; }

  // Each change marks the message modified; false when the new file could not be written (the
  // message is then as it was).
  bool setField(HeaderField field, std::string utf8);
  bool setPriority(int priority);
  bool setText(std::string_view utf8);
  bool setHtml(std::string_view utf8);
  // A new part from a file's bytes in base64; a file that cannot be read gives an empty body.
  bool addAttachment(std::string_view path, std::string_view name, std::string_view contentType);
  bool addHtmlItem(std::string_view path, std::string_view name, std::string_view id, std::string_view contentType);
  bool removeAttachment(size_t index);
  bool removeHtmlItem(size_t index);

  // The message file's length, plus the generated header block's while modified.
  uint64_t size();
  // A body's or part's bytes decoded from its transfer encoding; empty when it is absent.
  std::string decoded(const std::optional<MailBody>& body);
  // Writes a part's decoded bytes to the file (created or truncated), base64 in pieces.
  bool savePart(const MailPart& part, std::string_view path);

  // The complete message. When modified, the header block and body are first written into a new
  // message file, which then holds the whole message, and the flag is cleared.
  std::optional<std::string> asText();
  bool save(std::string_view path);
  // Replaces the message with the file's bytes and parses them; the flag is cleared, since the
  // file now holds the whole message.
  bool load(std::string_view path);
  // The message as a mail transport sends it: the header block without Bcc, then the body. The
  // message itself is left as it is.
  std::optional<std::string> transportBytes();
  // After a send: a modified message is written whole into its file and the flag cleared, as
  // asText does, so a later send or save goes out unchanged.
  bool settleAfterSend() { return complete(); }

 private:
  bool recompose(const MailDraft& draft);
  bool complete();
  bool markModified();
  bool takeMessage(platform::StdioFile file);
  std::optional<std::string> fileBytes(uint64_t from);

  platform::StdioFile file_;
  MailPartTable parts_;
  MailHeaders headers_;
  int priority_ = 0;
  bool modified_ = false;
};

}  // namespace vexil::net::mime
