#include "player/control/registration.h"

#include <olectl.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "player/control/control_ids.h"
#include "player/control/module.h"

namespace vexil::control {
namespace {

// OLEMISC flags as registry text: what GetMiscStatus reports, for containers that read it first.
constexpr const wchar_t* kMiscStatusText = L"131473";

// Writes a string value into a key made (or opened) under parent; false when either fails.
bool setString(HKEY parent, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  platform::UniqueKey key;
  if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

struct Entry {
  std::wstring key;
  const wchar_t* valueName;  // nullptr for the default value
  std::wstring value;
};

// The root of the class keys: HKEY_CLASSES_ROOT for the machine, or the user's classes key, which
// `opened` then owns.
HKEY rootKey(RegistrationScope scope, platform::UniqueKey& opened) {
  if (scope == RegistrationScope::Machine) return HKEY_CLASSES_ROOT;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.put(),
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return opened.get();
}

}  // namespace

HRESULT registerControl(RegistrationScope scope) {
  platform::UniqueKey opened;
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
  for (const Entry& entry : entries) ok = setString(root, entry.key, entry.valueName, entry.value) && ok;
  opened.reset();
  if (!ok) {
    unregisterControl(scope);
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT unregisterControl(RegistrationScope scope) {
  platform::UniqueKey opened;
  HKEY root = rootKey(scope, opened);
  if (!root) return SELFREG_E_CLASS;
  const std::wstring keys[] = {std::wstring(L"CLSID\\") + kClsidText, kProgId, kVersionIndependentProgId};
  for (const std::wstring& key : keys) RegDeleteTreeW(root, key.c_str());
  return S_OK;
}

}  // namespace vexil::control
