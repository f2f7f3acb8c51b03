#include "tests/objects/com/server/test_item_object.h"

#include <new>

#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/type_library.h"

namespace vexil::test_automation {

HRESULT TestItemObject::create(LONG index, ComPtr<IDispatch>& item) {
  auto* object = new (std::nothrow) TestItemObject(index);
  if (!object) return E_OUTOFMEMORY;
  HRESULT result = loadTypeInfo(IID_ITestItem, object->typeInfo_);
  if (SUCCEEDED(result)) item = static_cast<ITestItem*>(object);  // the owner takes a reference of its own
  object->Release();
  return result;
}

STDMETHODIMP TestItemObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_ITestItem)) {
    *object = static_cast<ITestItem*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TestItemObject::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP TestItemObject::get_Value(BSTR* value) { return returnText(L"item " + std::to_wstring(index_), value); }

}  // namespace vexil::test_automation
