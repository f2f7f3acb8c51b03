#include "host/app/registry_profile.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::app {

using platform::toWide;

RegistryProfile::RegistryProfile(std::string registryKey, std::string profileName, std::string section)
    : keyPath_(L"Software\\" + toWide(registryKey) + L"\\" + toWide(profileName) + L"\\" + toWide(section)) {}

std::optional<std::vector<uint8_t>> RegistryProfile::read(const char* value) const {
  platform::UniqueKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring name = toWide(value);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY) {
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(size);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

bool RegistryProfile::write(const char* value, const std::vector<uint8_t>& bytes) {
  platform::UniqueKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(key.get(), toWide(value).c_str(), 0, REG_BINARY, bytes.data(), DWORD(bytes.size())) ==
         ERROR_SUCCESS;
}

}  // namespace vexil::app
