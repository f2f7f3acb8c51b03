#include "net/inet/win32/host_address.h"

#include <cstring>

#include "net/inet/host_names.h"
#include "net/socket/socket_numbers.h"

namespace vexil::net {

std::optional<in_addr> resolveHost(const std::string& host) {
  AddressText address = classifyAddress(host);
  in_addr result = {};
  if (address.kind == AddressKind::Numeric) {
    std::memcpy(&result, address.bytes.data(), 4);
    return result;
  }
  if (!resolvableHost(host)) return std::nullopt;
  const hostent* entry = gethostbyname(host.c_str());
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0]) return std::nullopt;
  std::memcpy(&result, entry->h_addr_list[0], 4);
  return result;
}

}  // namespace vexil::net
