// The server as a collection of three TestItems, indexed from 0: what a client's enumeration,
// Count/Item loops and default-member calls see.
#include <new>

#include "tests/objects/com/server/item_enumerator.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {

STDMETHODIMP TestServerObject::get__NewEnum(IUnknown** enumerator) {
  if (!enumerator) return E_POINTER;
  *enumerator = new (std::nothrow) ItemEnumerator(items_);
  return *enumerator ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TestServerObject::get_Count(LONG* size) {
  if (!size) return E_POINTER;
  *size = kItemCount;
  return S_OK;
}

STDMETHODIMP TestServerObject::Item(LONG index, VARIANT* item) {
  if (!item) return E_POINTER;
  VariantInit(item);
  if (index < 0 || index >= kItemCount) return DISP_E_BADINDEX;
  item->vt = VT_DISPATCH;
  item->pdispVal = items_[index].get();
  item->pdispVal->AddRef();
  return S_OK;
}

// The server itself, so that `server.Items(2)` exercises a client's way of passing an argument
// to a property that takes none: read the property, then call its default member (Item).
STDMETHODIMP TestServerObject::get_Items(IDispatch** collection) {
  if (!collection) return E_POINTER;
  *collection = static_cast<ITestServer*>(this);
  AddRef();
  return S_OK;
}

}  // namespace vexil::test_automation
