#pragma once
// The texts IPConfig and getDNS give scripts, made from the system's interface and name-server
// data: interface type names, physical addresses, dotted addresses and the name-server lists the
// registry holds.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::net {

// The name of a MIB-II interface type (6 "ethernet", 24 "loopback", ...); the empty string for a
// number the list does not name.
std::string_view interfaceTypeName(uint32_t type);

// The physical address as upper-case hex pairs joined by '-' ("00-1A-2B-3C-4D-5E"); "" when empty.
std::string physicalAddressText(std::span<const uint8_t> bytes);

// The addresses a name-server value lists, separated by commas, spaces or tabs (a NUL ends the
// value); only dotted IPv4 addresses are kept, in order.
std::vector<std::string> splitNameServers(std::string_view value);

}  // namespace vexil::net
