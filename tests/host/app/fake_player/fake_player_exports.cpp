// A test copy of the stand-in player that answers to the real player's class id, the way an
// installed player of a given version would once registered. The provisioning test registers it
// and checks which versions the screensaver accepts.
#include <windows.h>

#include <new>

#include "player/control/class_factory.h"
#include "player/control/control_window.h"
#include "player/control/module.h"

using namespace vexil::control;

namespace {
// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kInstalledPlayerClsid = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    setModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    ControlWindow::unregisterClass();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kInstalledPlayerClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) ClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

STDAPI DllCanUnloadNow() { return moduleInUse() ? S_FALSE : S_OK; }

}  // extern "C"
