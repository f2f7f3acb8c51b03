#include "player/control/registration.h"

#include <olectl.h>

#include <cwchar>
#include <string>

#include "platform/win32/unique_handle.h"
#include "player/control/control_ids.h"
#include "platform/win32/dll_module.h"
#include "player/control/type_library.h"

// Exported by oleaut32 since Windows Vista, but not declared by the mingw-w64 headers.
WINOLEAUTAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDirectory);
WINOLEAUTAPI UnRegisterTypeLibForUser(REFGUID library, WORD major, WORD minor, LCID locale, SYSKIND kind);

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

// The type library as the class's TypeLib and Version keys name it.
struct LibraryIdentity {
  std::wstring id;
  std::wstring version;
};

std::wstring guidText(REFGUID guid) {
  wchar_t text[40];
  int length = StringFromGUID2(guid, text, 40);
  return std::wstring(text, length > 0 ? length - 1 : 0);
}

// Registers the library carried in the control's file, in the same scope as the class.
HRESULT registerTypeLibrary(RegistrationScope scope, LibraryIdentity& identity) {
  ComPtr<ITypeLib> library;
  TLIBATTR* attributes = nullptr;
  if (FAILED(loadTypeLibrary(library)) || FAILED(library->GetLibAttr(&attributes))) return SELFREG_E_TYPELIB;
  wchar_t version[16];  // hexadecimal, as the registry writes type library versions
  std::swprintf(version, 16, L"%x.%x", attributes->wMajorVerNum, attributes->wMinorVerNum);
  identity = {guidText(attributes->guid), version};
  library->ReleaseTLibAttr(attributes);
  std::wstring path = platform::modulePath();
  HRESULT result = scope == RegistrationScope::Machine ? RegisterTypeLib(library.get(), path.data(), nullptr)
                                                       : RegisterTypeLibForUser(library.get(), path.data(), nullptr);
  return SUCCEEDED(result) ? S_OK : SELFREG_E_TYPELIB;
}

void unregisterTypeLibrary(RegistrationScope scope) {
  ComPtr<ITypeLib> library;
  TLIBATTR* attributes = nullptr;
  if (FAILED(loadTypeLibrary(library)) || FAILED(library->GetLibAttr(&attributes))) return;
  auto unregister = scope == RegistrationScope::Machine ? UnRegisterTypeLib : UnRegisterTypeLibForUser;
  unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
             attributes->syskind);
  library->ReleaseTLibAttr(attributes);
}

}  // namespace

HRESULT registerControl(RegistrationScope scope) {
  LibraryIdentity library;
  if (HRESULT result = registerTypeLibrary(scope, library); FAILED(result)) return result;
  platform::UniqueKey opened;
  HKEY root = rootKey(scope, opened);
  if (!root) {
    unregisterTypeLibrary(scope);
    return SELFREG_E_CLASS;
  }
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  const Entry entries[] = {
      {clsidKey, nullptr, kControlName},
      {clsidKey + L"\\InprocServer32", nullptr, platform::modulePath()},
      {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsidKey + L"\\ProgID", nullptr, kProgId},
      {clsidKey + L"\\VersionIndependentProgID", nullptr, kVersionIndependentProgId},
      {clsidKey + L"\\Control", nullptr, L""},
      {clsidKey + L"\\MiscStatus", nullptr, L"0"},
      {clsidKey + L"\\MiscStatus\\1", nullptr, kMiscStatusText},
      {clsidKey + L"\\Verb\\0", nullptr, L"&Properties,0,2"},
      {clsidKey + L"\\TypeLib", nullptr, library.id},
      {clsidKey + L"\\Version", nullptr, library.version},
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
  unregisterTypeLibrary(scope);
  return S_OK;
}

}  // namespace vexil::control
