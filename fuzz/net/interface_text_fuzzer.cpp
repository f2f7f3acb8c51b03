// Any bytes as a name-server value from the registry and as a physical address: the splitter keeps
// only dotted addresses, and the address text is three characters a byte.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/inet/interface_text.h"
#include "net/socket/socket_numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& server : vexil::net::splitNameServers(text))
    if (vexil::net::classifyAddress(server).kind != vexil::net::AddressKind::Numeric) abort();
  std::string mac = vexil::net::physicalAddressText(std::span<const uint8_t>(data, size));
  if (size > 0 && mac.size() != size * 3 - 1) abort();
  return 0;
}
