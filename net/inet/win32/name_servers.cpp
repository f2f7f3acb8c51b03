#include "net/inet/win32/name_servers.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include <vector>

#include "net/inet/interface_text.h"
#include "platform/win32/unique_handle.h"

namespace vexil::net {
namespace {

constexpr char kTcpipKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr const char* kValueNames[] = {"NameServer", "DhcpNameServer"};

void readServers(HKEY key, std::vector<std::string>& servers) {
  for (const char* name : kValueNames) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
    if ((type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) || size == 0 || size > 65536) continue;
    std::string value(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
      continue;
    value.resize(std::min<size_t>(size, value.size()));
    if (type == REG_MULTI_SZ) {
      for (char& c : value) c = c == '\0' ? ' ' : c;  // the strings of a list one after another
    }
    for (std::string& server : splitNameServers(value)) servers.push_back(std::move(server));
  }
}

void readKey(const std::string& path, std::vector<std::string>& servers) {
  platform::UniqueKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
  readServers(key.get(), servers);
}

std::vector<std::string> networkParameterServers() {
  std::vector<std::string> servers;
  ULONG size = 0;
  if (GetNetworkParams(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return servers;
  std::vector<uint8_t> buffer(size);
  auto* info = reinterpret_cast<FIXED_INFO*>(buffer.data());
  if (GetNetworkParams(info, &size) != NO_ERROR) return servers;
  for (const IP_ADDR_STRING* entry = &info->DnsServerList; entry; entry = entry->Next) {
    std::string text(entry->IpAddress.String, strnlen(entry->IpAddress.String, sizeof entry->IpAddress.String));
    for (std::string& server : splitNameServers(text)) servers.push_back(std::move(server));
  }
  return servers;
}

}  // namespace

std::vector<std::string> configuredNameServers() {
  std::vector<std::string> servers;
  readKey(std::string(kTcpipKey) + "\\Transient", servers);
  readKey(kTcpipKey, servers);
  platform::UniqueKey interfaces;
  std::string interfacesPath = std::string(kTcpipKey) + "\\Interfaces";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, interfacesPath.c_str(), 0, KEY_READ, interfaces.put()) == ERROR_SUCCESS) {
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(interfaces.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      readKey(interfacesPath + "\\" + std::string(name, length), servers);
    }
  }
  if (servers.empty()) servers = networkParameterServers();
  return servers;
}

}  // namespace vexil::net
