#pragma once
// Machine-wide registration of the test server under HKEY_CLASSES_ROOT: its class, both ProgIDs
// ("VexilTest.Server.1" and the version-independent "VexilTest.Server") and its type library.
#include <windows.h>

namespace vexil::test_automation {

inline constexpr const wchar_t* kProgId = L"VexilTest.Server.1";
inline constexpr const wchar_t* kVersionIndependentProgId = L"VexilTest.Server";

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace vexil::test_automation
