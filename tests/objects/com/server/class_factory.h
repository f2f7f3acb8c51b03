#pragma once
// Creates automation test servers, for CoCreateInstance and DllGetClassObject.
#include <windows.h>
#include <unknwn.h>

#include "platform/win32/dll_module.h"

namespace vexil::test_automation {

class ClassFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  platform::ModuleReference moduleReference_;
  LONG references_ = 1;
};

}  // namespace vexil::test_automation
