// The DLL's entry points: what COM, regsvr32 and hosts that load the file directly call.
#include <windows.h>
#include <olectl.h>

#include <new>

#include "platform/text_case.h"
#include "player/control/class_factory.h"
#include "player/control/control_ids.h"
#include "player/control/control_window.h"
#include "platform/win32/dll_module.h"
#include "player/control/registration.h"
#include "player/control/served_class.h"

using namespace vexil::control;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    vexil::platform::setModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    ControlWindow::unregisterClass();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!servesClass(clsid)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) ClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

STDAPI DllCanUnloadNow() { return vexil::platform::moduleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() { return registerControl(RegistrationScope::Machine); }

STDAPI DllUnregisterServer() { return unregisterControl(RegistrationScope::Machine); }

// "regsvr32 /n /i:user" registers for the current user only, without administrator rights.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  bool user = commandLine && vexil::platform::equalsIgnoringAsciiCase(std::wstring_view(commandLine), L"user");
  RegistrationScope scope = user ? RegistrationScope::User : RegistrationScope::Machine;
  return install ? registerControl(scope) : unregisterControl(scope);
}

}  // extern "C"
