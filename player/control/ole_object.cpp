// The control's side of OLE embedding: client site, in-place activation as a child window of the
// container, extents and drawing into a container's device context.
#include "player/control/control_ids.h"
#include "player/control/player_control.h"

namespace vexil::control {
namespace {

// What containers learn from GetMiscStatus: activate when visible, site set before anything else.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

}  // namespace

STDMETHODIMP PlayerControl::SetClientSite(IOleClientSite* site) {
  site_ = site;
  if (!site) inPlaceSite_.reset();
  return S_OK;
}

STDMETHODIMP PlayerControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP PlayerControl::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP PlayerControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return activateInPlace(site ? site : site_.get(), parent, position);
    case OLEIVERB_HIDE:
      if (window_.handle()) ShowWindow(window_.handle(), SW_HIDE);
      return S_OK;
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

// Becomes a child window of the container: the in-place site gives the parent window and the
// position; a container without an in-place site can still pass both to DoVerb.
HRESULT PlayerControl::activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position) {
  if (window_.handle()) {
    ShowWindow(window_.handle(), SW_SHOW);
    return S_OK;
  }
  RECT rect = position ? *position : RECT{0, 0, 0, 0};
  if (site) {
    inPlaceSite_ = ComPtr<IOleClientSite>(site).as<IOleInPlaceSite>(IID_IOleInPlaceSite);
  }
  if (inPlaceSite_) {
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    HWND siteWindow = nullptr;
    if (SUCCEEDED(inPlaceSite_->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT sitePosition{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), document.put(), &sitePosition, &clip, &frameInfo))) {
      rect = sitePosition;
    }
  }
  if (!parent || !window_.create(parent, rect)) {
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    return E_FAIL;
  }
  restartFrameTimer();
  return S_OK;
}

STDMETHODIMP PlayerControl::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(kControlClsid, verbs); }

STDMETHODIMP PlayerControl::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = kControlClsid;
  return S_OK;
}

STDMETHODIMP PlayerControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP PlayerControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP PlayerControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!adviseHolder_) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP PlayerControl::Unadvise(DWORD connection) {
  if (!adviseHolder_) return OLE_E_NOCONNECTION;
  return adviseHolder_->Unadvise(connection);
}

STDMETHODIMP PlayerControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (!adviseHolder_) return E_OUTOFMEMORY;
  return adviseHolder_->EnumAdvise(advise);
}

STDMETHODIMP PlayerControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

STDMETHODIMP PlayerControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_.handle();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP PlayerControl::InPlaceDeactivate() {
  if (!window_.handle()) return S_OK;
  window_.destroy();
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP PlayerControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  window_.move(*position);
  return S_OK;
}

STDMETHODIMP PlayerControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP PlayerControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                 BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc) return E_INVALIDARG;
  RECT rect{};
  if (bounds) {
    rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  } else if (window_.handle()) {
    GetClientRect(window_.handle(), &rect);
  } else {
    return E_INVALIDARG;
  }
  paint(dc, rect);
  return S_OK;
}

STDMETHODIMP PlayerControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewAdviseFlags_ = flags;
  viewSink_ = sink;
  return S_OK;
}

STDMETHODIMP PlayerControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) {
    *sink = viewSink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP PlayerControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace vexil::control
