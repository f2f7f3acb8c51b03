#include "host/framework/site_object.h"

#include <olectl.h>

namespace vexil::framework {

STDMETHODIMP SiteObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
    *object = static_cast<IOleInPlaceFrame*>(this);
  } else if (IsEqualIID(iid, IID_IOleControlSite)) {
    *object = static_cast<IOleControlSite*>(this);
  } else if (IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) SiteObject::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP SiteObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SiteObject::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP SiteObject::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = parent_;
  return S_OK;
}

STDMETHODIMP SiteObject::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                          LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;
  *position = bounds_;
  *clip = bounds_;
  info->fMDIApp = FALSE;
  info->hwndFrame = parent_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP SiteObject::OnInPlaceDeactivate() {
  inPlace_ = nullptr;
  return S_OK;
}

STDMETHODIMP SiteObject::OnPosRectChange(LPCRECT position) {
  if (!position) return E_POINTER;
  bounds_ = *position;
  if (inPlace_) inPlace_->SetObjectRects(&bounds_, &bounds_);
  return S_OK;
}

STDMETHODIMP SiteObject::GetExtendedControl(IDispatch** object) {
  if (object) *object = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SiteObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

// The control runs as in a finished application: user mode, no design-time handles or hatching.
STDMETHODIMP SiteObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  VariantInit(result);
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_MESSAGEREFLECT:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_FALSE;
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      result->vt = VT_I4;
      result->lVal = LONG(GetUserDefaultLCID());
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace vexil::framework
