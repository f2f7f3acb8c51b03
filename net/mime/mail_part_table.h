#pragma once
// What a message holds, by offset into its message bytes: the text and HTML bodies, the
// attachments and the HTML body's embedded items. Parts are copied between messages by these
// ranges, never decoded and encoded again.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexil::net::mime {

// Transfer encodings by the index the part table keeps.
enum class TransferEncoding : uint8_t { kBinary = 0, kQuotedPrintable = 1, kBase64 = 2 };

const char* transferEncodingName(TransferEncoding encoding);
// Caseless; anything unknown (7bit, 8bit, x-uuencode, none) is carried unchanged as binary.
TransferEncoding transferEncodingFrom(std::string_view name);

struct ByteRange {
  uint64_t start = 0;
  uint64_t end = 0;
  uint64_t size() const { return end - start; }
  bool operator==(const ByteRange&) const = default;
};

struct MailBody {
  ByteRange range;
  TransferEncoding encoding = TransferEncoding::kBinary;
  std::string contentType;  // the media type with its parameters, as read or composed
  bool operator==(const MailBody&) const = default;
};

struct MailPart {
  ByteRange range;
  TransferEncoding encoding = TransferEncoding::kBinary;
  std::string contentType;  // the media type alone
  std::string name;         // a file name, never a path
  std::string contentId;    // HTML items only; empty when the item had none
  bool operator==(const MailPart&) const = default;
};

struct MailPartTable {
  std::optional<MailBody> text;
  std::optional<MailBody> html;
  std::vector<MailPart> attachments;
  std::vector<MailPart> htmlItems;
  bool operator==(const MailPartTable&) const = default;
};

}  // namespace vexil::net::mime
