#pragma once
// The enumerator behind the server's _NewEnum: yields the collection's items in index order, each
// as a VT_DISPATCH variant.
#include <windows.h>
#include <oaidl.h>

#include <utility>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/dll_module.h"

namespace vexil::test_automation {

using platform::ComPtr;

class ItemEnumerator final : public IEnumVARIANT {
 public:
  explicit ItemEnumerator(std::vector<ComPtr<IDispatch>> items) : items_(std::move(items)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumVARIANT** clone) override;

 private:
  platform::ModuleReference moduleReference_;
  std::vector<ComPtr<IDispatch>> items_;
  size_t position_ = 0;
  LONG references_ = 1;
};

}  // namespace vexil::test_automation
