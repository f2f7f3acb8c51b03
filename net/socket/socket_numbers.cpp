#include "net/socket/socket_numbers.h"

#include <algorithm>

#include "platform/text_case.h"

namespace vexil::net {

uint32_t swap32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

uint16_t swap16(uint16_t value) { return uint16_t((value >> 8) | (value << 8)); }

std::optional<int> transferLength(std::optional<int64_t> requested) {
  if (!requested || *requested <= 0) return std::nullopt;
  return int(std::min<int64_t>(*requested, kMaxTransfer));
}

std::optional<uint16_t> portArgument(std::optional<int64_t> value, uint16_t fallback) {
  if (!value) return fallback;
  if (*value < 0 || *value > 0xFFFF) return std::nullopt;
  return uint16_t(*value);
}

namespace {

// One decimal part of a dotted address: 1-3 digits, 0-255. Leading zeros are refused, since some
// resolvers read them as octal.
std::optional<uint8_t> addressPart(std::string_view part) {
  if (part.empty() || part.size() > 3) return std::nullopt;
  if (part.size() > 1 && part[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 255) return std::nullopt;
  return uint8_t(value);
}

std::optional<std::array<uint8_t, 4>> dottedBytes(std::string_view text) {
  std::array<uint8_t, 4> bytes{};
  for (size_t i = 0; i < 4; ++i) {
    size_t dot = text.find('.');
    if ((i < 3) != (dot != std::string_view::npos)) return std::nullopt;
    auto part = addressPart(text.substr(0, dot));
    if (!part) return std::nullopt;
    bytes[i] = *part;
    text = i < 3 ? text.substr(dot + 1) : std::string_view();
  }
  return bytes;
}

}  // namespace

AddressText classifyAddress(std::string_view text) {
  AddressText result;
  if (text.empty() || text.size() > kMaxHostName || text.find('\0') != std::string_view::npos) return result;
  if (auto bytes = dottedBytes(text)) {
    result.kind = AddressKind::Numeric;
    result.bytes = *bytes;
    return result;
  }
  result.kind = AddressKind::Name;
  return result;
}

std::optional<std::array<uint8_t, 4>> immediateAddress(std::string_view text) {
  AddressText address = classifyAddress(text);
  if (address.kind == AddressKind::Numeric) return address.bytes;
  if (address.kind == AddressKind::Name && platform::equalsIgnoringAsciiCase(text, "localhost"))
    return std::array<uint8_t, 4>{127, 0, 0, 1};
  return std::nullopt;
}

std::string dottedAddress(const std::array<uint8_t, 4>& bytes) {
  return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
         std::to_string(bytes[3]);
}

}  // namespace vexil::net
