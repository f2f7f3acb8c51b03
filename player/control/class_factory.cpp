#include "player/control/class_factory.h"

#include "platform/win32/dll_module.h"
#include "player/control/player_control.h"

namespace vexil::control {
namespace {

constexpr const wchar_t* kLicenceKey = L"Vexil";

}  // namespace

ClassFactory::ClassFactory() { platform::addModuleReference(); }
ClassFactory::~ClassFactory() { platform::releaseModuleReference(); }

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) || IsEqualIID(iid, IID_IClassFactory2)) {
    *object = static_cast<IClassFactory2*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return PlayerControl::create(iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    platform::addModuleReference();
  } else {
    platform::releaseModuleReference();
  }
  return S_OK;
}

STDMETHODIMP ClassFactory::GetLicInfo(LICINFO* info) {
  if (!info) return E_POINTER;
  info->cbLicInfo = sizeof *info;
  info->fRuntimeKeyAvail = TRUE;
  info->fLicVerified = TRUE;
  return S_OK;
}

STDMETHODIMP ClassFactory::RequestLicKey(DWORD, BSTR* key) {
  if (!key) return E_POINTER;
  *key = SysAllocString(kLicenceKey);
  return *key ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP ClassFactory::CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR, void** object) {
  return CreateInstance(outer, iid, object);
}

}  // namespace vexil::control
