#include "net/inet/win32/interface_snapshot.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include <array>
#include <cstring>

#include "net/socket/socket_numbers.h"

namespace vexil::net {
namespace {

std::string dotted(DWORD address) {
  std::array<uint8_t, 4> bytes;
  std::memcpy(bytes.data(), &address, 4);
  return dottedAddress(bytes);
}

// Calls a table function with a buffer it sizes itself; empty when the table cannot be read.
template <typename Fill>
std::vector<uint8_t> readTable(Fill fill) {
  ULONG size = 0;
  std::vector<uint8_t> buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD result = fill(buffer.empty() ? nullptr : buffer.data(), &size);
    if (result == NO_ERROR) return buffer;
    if (result != ERROR_INSUFFICIENT_BUFFER || size == 0) break;
    buffer.assign(size, 0);
  }
  return {};
}

}  // namespace

std::vector<InterfaceEntry> takeInterfaceSnapshot() {
  std::vector<InterfaceEntry> entries;
  auto interfaces = readTable([](uint8_t* b, ULONG* n) { return GetIfTable(reinterpret_cast<MIB_IFTABLE*>(b), n, TRUE); });
  if (interfaces.empty()) return entries;
  const auto* ifTable = reinterpret_cast<const MIB_IFTABLE*>(interfaces.data());
  for (DWORD i = 0; i < ifTable->dwNumEntries; ++i) {
    const MIB_IFROW& row = ifTable->table[i];
    InterfaceEntry entry;
    entry.index = row.dwIndex;
    entry.type = row.dwType;
    DWORD physical = std::min<DWORD>(row.dwPhysAddrLen, MAXLEN_PHYSADDR);
    entry.physical.assign(row.bPhysAddr, row.bPhysAddr + physical);
    DWORD described = std::min<DWORD>(row.dwDescrLen, MAXLEN_IFDESCR);
    entry.description.assign(reinterpret_cast<const char*>(row.bDescr), strnlen(reinterpret_cast<const char*>(row.bDescr), described));
    entries.push_back(std::move(entry));
  }
  auto addresses =
      readTable([](uint8_t* b, ULONG* n) { return GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(b), n, TRUE); });
  if (!addresses.empty()) {
    const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(addresses.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
      const MIB_IPADDRROW& row = table->table[i];
      for (InterfaceEntry& entry : entries) {
        if (entry.index != row.dwIndex) continue;
        entry.addresses.push_back(dotted(row.dwAddr));
        entry.masks.push_back(dotted(row.dwMask));
      }
    }
  }
  auto routes = readTable(
      [](uint8_t* b, ULONG* n) { return GetIpForwardTable(reinterpret_cast<MIB_IPFORWARDTABLE*>(b), n, TRUE); });
  if (!routes.empty()) {
    const auto* table = reinterpret_cast<const MIB_IPFORWARDTABLE*>(routes.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
      const MIB_IPFORWARDROW& row = table->table[i];
      if (row.dwForwardDest != 0 || row.dwForwardMask != 0) continue;
      for (InterfaceEntry& entry : entries)
        if (entry.index == row.dwForwardIfIndex && entry.gateway.empty()) entry.gateway = dotted(row.dwForwardNextHop);
    }
  }
  return entries;
}

}  // namespace vexil::net
