#pragma once
// Creates player controls. Licensing is answered but not enforced: any key, or none, will do, so
// hosts that use CreateInstanceLic work the same as those that do not.
#include <windows.h>
#include <ocidl.h>

namespace vexil::control {

class ClassFactory final : public IClassFactory2 {
 public:
  ClassFactory();
  ~ClassFactory();

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;

  STDMETHODIMP GetLicInfo(LICINFO* info) override;
  STDMETHODIMP RequestLicKey(DWORD reserved, BSTR* key) override;
  STDMETHODIMP CreateInstanceLic(IUnknown* outer, IUnknown* reserved, REFIID iid, BSTR key, void** object) override;

 private:
  LONG references_ = 1;
};

}  // namespace vexil::control
