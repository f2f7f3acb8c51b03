#include "net/inet/dns_message.h"

namespace vexil::net {
namespace {

constexpr size_t kHeaderSize = 12;
constexpr uint16_t kFlagRecursionDesired = 0x0100;
constexpr uint16_t kFlagResponse = 0x8000;
constexpr uint16_t kRcodeMask = 0x000F;

void put16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(uint8_t(value >> 8));
  out.push_back(uint8_t(value));
}

std::optional<uint16_t> read16(std::span<const uint8_t> message, size_t& offset) {
  if (offset > message.size() || message.size() - offset < 2) return std::nullopt;
  uint16_t value = uint16_t(message[offset] << 8 | message[offset + 1]);
  offset += 2;
  return value;
}

}  // namespace

std::optional<std::vector<uint8_t>> buildMxQuery(std::string_view domain) {
  if (!domain.empty() && domain.back() == '.') domain.remove_suffix(1);
  if (domain.empty()) return std::nullopt;
  std::vector<uint8_t> name;
  size_t start = 0;
  while (start <= domain.size()) {
    size_t end = domain.find('.', start);
    if (end == std::string_view::npos) end = domain.size();
    size_t length = end - start;
    if (length == 0 || length > kMaxLabel) return std::nullopt;
    name.push_back(uint8_t(length));
    name.insert(name.end(), domain.begin() + start, domain.begin() + end);
    start = end + 1;
  }
  name.push_back(0);
  if (name.size() > kMaxWireName) return std::nullopt;

  std::vector<uint8_t> query;
  put16(query, 0);  // the TCP length, filled in below
  put16(query, kMxQueryId);
  put16(query, kFlagRecursionDesired);
  put16(query, 1);  // one question
  put16(query, 0);
  put16(query, 0);
  put16(query, 0);
  query.insert(query.end(), name.begin(), name.end());
  put16(query, kTypeMx);
  put16(query, kClassInternet);
  size_t length = query.size() - 2;
  query[0] = uint8_t(length >> 8);
  query[1] = uint8_t(length);
  return query;
}

std::optional<std::string> readName(std::span<const uint8_t> message, size_t& offset) {
  std::string text;
  size_t wireLength = 1;  // the root's zero byte
  size_t at = offset;
  bool jumped = false;
  int jumps = 0;
  while (true) {
    if (at >= message.size()) return std::nullopt;
    uint8_t length = message[at];
    if ((length & 0xC0) == 0xC0) {
      if (at + 1 >= message.size() || ++jumps > kMaxPointerJumps) return std::nullopt;
      size_t target = size_t(length & 0x3F) << 8 | message[at + 1];
      if (!jumped) offset = at + 2;
      jumped = true;
      at = target;
      continue;
    }
    if (length & 0xC0) return std::nullopt;  // the extended label types are not used in answers
    if (length == 0) {
      if (!jumped) offset = at + 1;
      return text;
    }
    wireLength += 1 + length;
    if (wireLength > kMaxWireName || message.size() - at - 1 < length) return std::nullopt;
    if (!text.empty()) text += '.';
    text.append(reinterpret_cast<const char*>(message.data() + at + 1), length);
    at += 1 + length;
  }
}

std::optional<std::vector<MxRecord>> readMxReply(std::span<const uint8_t> message) {
  if (message.size() < kHeaderSize) return std::nullopt;
  size_t offset = 0;
  uint16_t id = *read16(message, offset);
  uint16_t flags = *read16(message, offset);
  uint16_t questions = *read16(message, offset);
  uint16_t answers = *read16(message, offset);
  offset = kHeaderSize;
  if (id != kMxQueryId || !(flags & kFlagResponse) || (flags & kRcodeMask) != 0) return std::nullopt;

  for (uint16_t i = 0; i < questions; ++i) {
    if (!readName(message, offset)) return std::nullopt;
    if (message.size() - offset < 4) return std::nullopt;
    offset += 4;  // type and class
  }
  std::vector<MxRecord> records;
  for (uint16_t i = 0; i < answers; ++i) {
    if (!readName(message, offset)) return std::nullopt;
    auto type = read16(message, offset);
    auto cls = read16(message, offset);
    if (!type || !cls || message.size() - offset < 6) return std::nullopt;
    offset += 4;  // the time to live
    uint16_t dataLength = *read16(message, offset);
    if (message.size() - offset < dataLength) return std::nullopt;
    size_t dataEnd = offset + dataLength;
    if (*type == kTypeMx && *cls == kClassInternet) {
      MxRecord record;
      auto preference = read16(message, offset);
      if (!preference || offset > dataEnd) return std::nullopt;
      auto exchange = readName(message, offset);
      // The exchange may point anywhere earlier, but its own bytes must lie inside the record.
      if (!exchange || offset != dataEnd) return std::nullopt;
      record.preference = *preference;
      record.exchange = std::move(*exchange);
      records.push_back(std::move(record));
    }
    offset = dataEnd;
  }
  return records;
}

}  // namespace vexil::net
