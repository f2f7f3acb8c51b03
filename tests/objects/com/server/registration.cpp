#include "tests/objects/com/server/registration.h"

#include <olectl.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/dll_module.h"
#include "tests/objects/com/server/test_server.h"
#include "tests/objects/com/server/type_library.h"

namespace vexil::test_automation {
namespace {

constexpr const wchar_t* kServerName = L"Vexil automation test server";

struct Entry {
  std::wstring key;
  const wchar_t* valueName;  // nullptr for the default value
  std::wstring value;
};

std::wstring guidText(REFGUID guid) {
  wchar_t text[40];
  int length = StringFromGUID2(guid, text, 40);
  return std::wstring(text, length > 0 ? length - 1 : 0);
}

// Writes a string value into a key made (or opened) under HKEY_CLASSES_ROOT; false when either fails.
bool setString(const Entry& entry) {
  platform::UniqueKey key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(key.get(), entry.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.value.c_str()),
                        static_cast<DWORD>((entry.value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool writeClassKeys() {
  const std::wstring clsid = guidText(CLSID_TestServer);
  const std::wstring classKey = L"CLSID\\" + clsid;
  const std::wstring progId = kProgId;
  const std::wstring independentProgId = kVersionIndependentProgId;
  const Entry entries[] = {
      {classKey, nullptr, kServerName},
      {classKey + L"\\InprocServer32", nullptr, platform::modulePath()},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\ProgID", nullptr, progId},
      {classKey + L"\\VersionIndependentProgID", nullptr, independentProgId},
      {classKey + L"\\TypeLib", nullptr, guidText(LIBID_VexilTestLib)},
      {classKey + L"\\Version", nullptr, L"1.0"},
      {progId, nullptr, kServerName},
      {progId + L"\\CLSID", nullptr, clsid},
      {independentProgId, nullptr, kServerName},
      {independentProgId + L"\\CLSID", nullptr, clsid},
      {independentProgId + L"\\CurVer", nullptr, progId},
  };
  bool ok = true;
  for (const Entry& entry : entries) ok = setString(entry) && ok;
  return ok;
}

}  // namespace

HRESULT registerServer() {
  ComPtr<ITypeLib> library;
  HRESULT result = loadTypeLibrary(library);
  if (FAILED(result)) return SELFREG_E_TYPELIB;
  std::wstring path = platform::modulePath();
  if (FAILED(RegisterTypeLib(library.get(), path.data(), nullptr))) return SELFREG_E_TYPELIB;
  if (!writeClassKeys()) {
    unregisterServer();
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT unregisterServer() {
  const std::wstring keys[] = {L"CLSID\\" + guidText(CLSID_TestServer), kProgId, kVersionIndependentProgId};
  for (const std::wstring& key : keys) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  ComPtr<ITypeLib> library;
  TLIBATTR* attributes = nullptr;
  if (SUCCEEDED(loadTypeLibrary(library)) && SUCCEEDED(library->GetLibAttr(&attributes))) {
    UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                      attributes->syskind);
    library->ReleaseTLibAttr(attributes);
  }
  return S_OK;
}

}  // namespace vexil::test_automation
