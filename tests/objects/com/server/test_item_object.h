#pragma once
// An element of the server's collection (coclass TestItem): its Value answers "item <index>".
// Not creatable by itself; the server makes its three items and hands them out.
#include <string>

#include "platform/win32/dll_module.h"
#include "tests/objects/com/server/test_server.h"
#include "tests/objects/com/server/typed_dispatch.h"

namespace vexil::test_automation {

class TestItemObject final : public TypedDispatch<ITestItem> {
 public:
  static HRESULT create(LONG index, ComPtr<IDispatch>& item);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  // ITestItem
  STDMETHODIMP get_Value(BSTR* value) override;

 private:
  explicit TestItemObject(LONG index) : index_(index) {}

  platform::ModuleReference moduleReference_;
  LONG references_ = 1;
  LONG index_;
};

}  // namespace vexil::test_automation
