#include "host/hostobjects/user_profile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "host/hostobjects/app_paths.h"
#include "host/package/app_identity.h"
#include "host/package/module_resources.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {
namespace {

using platform::toWide;

constexpr char kDefaultCompanyKey[] = "Vexil";

std::string programName() {
  std::string path = executableFile();
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The profile's key, read once from the package's identity.
const std::wstring& profileKey() {
  static const std::wstring key = [] {
    std::string name = programName();
    auto identity = package::readIdentity(package::ModuleResources(), name);
    std::string company = identity ? identity->registryKey : kDefaultCompanyKey;
    std::string profile = identity ? identity->profileName : name;
    return toWide("Software\\" + company + "\\" + profile);
  }();
  return key;
}

std::wstring sectionKey(const std::string& section) { return profileKey() + L"\\" + toWide(section); }

}  // namespace

std::optional<std::string> readProfileString(const std::string& section, const std::string& entry) {
  platform::UniqueKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(section).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring name = toWide(entry);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t)) {
    return std::nullopt;
  }
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text[std::min(text.size() - 1, size_t(size / sizeof(wchar_t)))] = 0;
  std::wstring value(text.data());
  if (value.empty()) return std::nullopt;
  return platform::toAnsi(value);
}

bool writeProfileString(const std::string& section, const std::string& entry, const std::string& value) {
  platform::UniqueKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, sectionKey(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::wstring text = toWide(value);
  DWORD bytes = DWORD((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), toWide(entry).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        bytes) == ERROR_SUCCESS;
}

}  // namespace vexil::hostobjects
