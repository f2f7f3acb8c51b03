#include "net/inet/interface_text.h"

#include "net/socket/socket_numbers.h"

namespace vexil::net {

std::string_view interfaceTypeName(uint32_t type) {
  switch (type) {
    case 1: return "other";
    case 6: return "ethernet";
    case 9: return "token ring";
    case 15: return "fddi";
    case 23: return "ppp";
    case 24: return "loopback";
    case 28: return "slip";
    default: return "";
  }
}

std::string physicalAddressText(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t byte : bytes) {
    if (!text.empty()) text += '-';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::vector<std::string> splitNameServers(std::string_view value) {
  if (size_t end = value.find('\0'); end != std::string_view::npos) value = value.substr(0, end);
  std::vector<std::string> servers;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = value.find_first_of(", \t", start);
    if (end == std::string_view::npos) end = value.size();
    std::string_view item = value.substr(start, end - start);
    if (classifyAddress(item).kind == AddressKind::Numeric) servers.emplace_back(item);
    start = end + 1;
  }
  return servers;
}

}  // namespace vexil::net
