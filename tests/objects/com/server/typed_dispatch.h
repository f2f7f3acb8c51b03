#pragma once
// IDispatch answered from the type library, for the server's dual interfaces: names, type
// information and calls all come from the interface's ITypeInfo, so what a client sees through
// late binding is exactly what the library describes. A class derives from TypedDispatch<ITheir>
// and keeps its own IUnknown; Invoke may be overridden to look at a call before it is made.
#include <windows.h>
#include <oleauto.h>

#include "platform/win32/com_ptr.h"

namespace vexil::test_automation {

using platform::ComPtr;

// Arguments ITypeInfo::Invoke can read without faulting: every count has its array.
inline bool readableParams(const DISPPARAMS* params) {
  return params && (params->rgvarg || params->cArgs == 0) &&
         (params->rgdispidNamedArgs || params->cNamedArgs == 0) && params->cNamedArgs <= params->cArgs;
}

template <typename Interface>
class TypedDispatch : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }

  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = typeInfo_.get();
    (*info)->AddRef();
    return S_OK;
  }

  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
  }

  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* badArgument) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!readableParams(params)) return E_INVALIDARG;
    return typeInfo_->Invoke(static_cast<Interface*>(this), id, flags, params, result, exception, badArgument);
  }

 protected:
  // Set by the derived class before the object is handed out; creation fails without it.
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace vexil::test_automation
