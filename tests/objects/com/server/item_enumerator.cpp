#include "tests/objects/com/server/item_enumerator.h"

#include <algorithm>
#include <new>

namespace vexil::test_automation {

STDMETHODIMP ItemEnumerator::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
    *object = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ItemEnumerator::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP ItemEnumerator::Next(ULONG count, VARIANT* items, ULONG* fetched) {
  if (!items) return E_POINTER;
  ULONG given = 0;
  for (; given < count && position_ < items_.size(); ++given, ++position_) {
    VariantInit(&items[given]);
    items[given].vt = VT_DISPATCH;
    items[given].pdispVal = items_[position_].get();
    items[given].pdispVal->AddRef();
  }
  if (fetched) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP ItemEnumerator::Skip(ULONG count) {
  size_t left = items_.size() - position_;
  position_ += std::min<size_t>(count, left);
  return count <= left ? S_OK : S_FALSE;
}

STDMETHODIMP ItemEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP ItemEnumerator::Clone(IEnumVARIANT** clone) {
  if (!clone) return E_POINTER;
  auto* copy = new (std::nothrow) ItemEnumerator(items_);
  *clone = copy;
  if (!copy) return E_OUTOFMEMORY;
  copy->position_ = position_;
  return S_OK;
}

}  // namespace vexil::test_automation
