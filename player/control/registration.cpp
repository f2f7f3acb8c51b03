#include "player/control/registration.h"

#include <olectl.h>

#include <string>

#include "player/control/control_ids.h"
#include "player/control/module.h"

namespace vexil::control {
namespace {

// OLEMISC flags as registry text: what GetMiscStatus reports, for containers that read it first.
constexpr const wchar_t* kMiscStatusText = L"131473";

class RegistryKey {
 public:
  RegistryKey(HKEY parent, const std::wstring& path) {
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  bool setString(const wchar_t* name, const std::wstring& value) {
    return key_ && RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

struct Entry {
  std::wstring key;
  const wchar_t* valueName;  // nullptr for the default value
  std::wstring value;
};

std::wstring modulePath() {
  wchar_t path[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(moduleInstance(), path, MAX_PATH * 2);
  return std::wstring(path, length);
}

HKEY rootKey(RegistrationScope scope, HKEY& opened) {
  opened = nullptr;
  if (scope == RegistrationScope::Machine) return HKEY_CLASSES_ROOT;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return opened;
}

}  // namespace

HRESULT registerControl(RegistrationScope scope) {
  HKEY opened;
  HKEY root = rootKey(scope, opened);
  if (!root) return SELFREG_E_CLASS;
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  const Entry entries[] = {
      {clsidKey, nullptr, kControlName},
      {clsidKey + L"\\InprocServer32", nullptr, modulePath()},
      {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsidKey + L"\\ProgID", nullptr, kProgId},
      {clsidKey + L"\\VersionIndependentProgID", nullptr, kVersionIndependentProgId},
      {clsidKey + L"\\Control", nullptr, L""},
      {clsidKey + L"\\MiscStatus", nullptr, L"0"},
      {clsidKey + L"\\MiscStatus\\1", nullptr, kMiscStatusText},
      {clsidKey + L"\\Verb\\0", nullptr, L"&Properties,0,2"},
      {kProgId, nullptr, kControlName},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, kClsidText},
      {kVersionIndependentProgId, nullptr, kControlName},
      {std::wstring(kVersionIndependentProgId) + L"\\CLSID", nullptr, kClsidText},
      {std::wstring(kVersionIndependentProgId) + L"\\CurVer", nullptr, kProgId},
  };
  bool ok = true;
  for (const Entry& entry : entries) ok = RegistryKey(root, entry.key).setString(entry.valueName, entry.value) && ok;
  if (opened) RegCloseKey(opened);
  if (!ok) {
    unregisterControl(scope);
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT unregisterControl(RegistrationScope scope) {
  HKEY opened;
  HKEY root = rootKey(scope, opened);
  if (!root) return SELFREG_E_CLASS;
  const std::wstring keys[] = {std::wstring(L"CLSID\\") + kClsidText, kProgId, kVersionIndependentProgId};
  for (const std::wstring& key : keys) RegDeleteTreeW(root, key.c_str());
  if (opened) RegCloseKey(opened);
  return S_OK;
}

}  // namespace vexil::control
