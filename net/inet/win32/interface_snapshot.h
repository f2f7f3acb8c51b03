#pragma once
// The interface table IPConfig shows: taken once from the system's MIB-II tables (interfaces, IP
// addresses, routes) and kept as plain data.
#include <cstdint>
#include <string>
#include <vector>

namespace vexil::net {

struct InterfaceEntry {
  uint32_t index = 0;
  uint32_t type = 0;  // the MIB-II type number
  std::vector<std::string> addresses;
  std::vector<std::string> masks;  // one per address
  std::string gateway;             // the default route's next hop, or empty
  std::vector<uint8_t> physical;
  std::string description;
};

std::vector<InterfaceEntry> takeInterfaceSnapshot();

}  // namespace vexil::net
