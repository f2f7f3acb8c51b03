// The DLL's entry points: what COM and regsvr32 call.
#include <windows.h>
#include <olectl.h>

#include <new>

#include "tests/objects/com/server/class_factory.h"
#include "platform/win32/dll_module.h"
#include "tests/objects/com/server/registration.h"
#include "tests/objects/com/server/test_server.h"

using namespace vexil::test_automation;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    vexil::platform::setModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_TestServer)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) ClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

STDAPI DllCanUnloadNow() { return vexil::platform::moduleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() { return registerServer(); }

STDAPI DllUnregisterServer() { return unregisterServer(); }

}  // extern "C"
