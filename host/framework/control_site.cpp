#include "host/framework/control_site.h"

#include "host/framework/control_factory.h"
#include "host/framework/event_sink.h"
#include "host/framework/site_object.h"

namespace vexil::framework {
namespace {

// The interface the control fires its events through: what it names as its default source, or
// plain IDispatch for a control that does not say.
IID eventInterfaceOf(IUnknown* control) {
  IID iid = IID_IDispatch;
  ComPtr<IProvideClassInfo2> info;
  if (SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, info.putVoid()))) {
    if (FAILED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid))) iid = IID_IDispatch;
  }
  return iid;
}

}  // namespace

HRESULT ControlSite::createByClsid(REFCLSID clsid, const ControlPlacement& placement, ControlEvents* events) {
  ComPtr<IUnknown> object;
  HRESULT status = createControlByClsid(clsid, object);
  return FAILED(status) ? status : attach(object, placement, events);
}

HRESULT ControlSite::createFromFile(const std::wstring& path, REFCLSID clsid,
                                    const std::optional<std::wstring>& licenceKey, const ControlPlacement& placement,
                                    ControlEvents* events) {
  ComPtr<IUnknown> object;
  HRESULT status = createControlFromFile(path, clsid, licenceKey, object);
  return FAILED(status) ? status : attach(object, placement, events);
}

HRESULT ControlSite::attach(ComPtr<IUnknown> object, const ControlPlacement& placement, ControlEvents* events) {
  destroy();
  ComPtr<IOleObject> ole = object.as<IOleObject>(IID_IOleObject);
  if (!ole) return E_NOINTERFACE;
  auto* site = new SiteObject(placement.parent, placement.bounds);
  site_ = ComPtr<IOleClientSite>(static_cast<IOleClientSite*>(site));
  site->Release();  // site_ holds the one reference

  DWORD misc = 0;
  ole->GetMiscStatus(DVASPECT_CONTENT, &misc);
  if (misc & OLEMISC_SETCLIENTSITEFIRST) ole->SetClientSite(site_.get());
  if (auto persist = object.as<IPersistStreamInit>(IID_IPersistStreamInit)) persist->InitNew();
  if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) ole->SetClientSite(site_.get());

  RECT bounds = placement.bounds;
  HRESULT status = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, placement.parent, &bounds);
  auto inPlace = object.as<IOleInPlaceObject>(IID_IOleInPlaceObject);
  HWND window = nullptr;
  if (SUCCEEDED(status) && inPlace) inPlace->GetWindow(&window);
  if (FAILED(status) || !window) {
    if (inPlace) inPlace->InPlaceDeactivate();
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
    site_.reset();
    return FAILED(status) ? status : E_FAIL;
  }
  site->setInPlaceObject(inPlace.get());
  SetWindowLongPtrW(window, GWLP_ID, LONG_PTR(placement.id));
  ShowWindow(window, SW_SHOWNA);

  control_ = object;
  ole_ = ole;
  dispatch_ = object.as<IDispatch>(IID_IDispatch);
  window_ = window;
  if (events) connectEvents(events);
  return S_OK;
}

void ControlSite::connectEvents(ControlEvents* events) {
  IID iid = eventInterfaceOf(control_.get());
  auto container = control_.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (!container || FAILED(container->FindConnectionPoint(iid, eventPoint_.put()))) return;
  auto* sink = new EventSink(iid, events);
  sink_ = ComPtr<IDispatch>(sink);
  sink->Release();
  if (FAILED(eventPoint_->Advise(sink_.get(), &eventCookie_))) {
    eventCookie_ = 0;
    eventPoint_.reset();
  }
}

void ControlSite::destroy() {
  if (sink_) static_cast<EventSink*>(sink_.get())->disconnect();
  if (eventPoint_ && eventCookie_) eventPoint_->Unadvise(eventCookie_);
  eventPoint_.reset();
  eventCookie_ = 0;
  sink_.reset();
  if (ole_) {
    if (auto inPlace = ole_.as<IOleInPlaceObject>(IID_IOleInPlaceObject)) inPlace->InPlaceDeactivate();
    ole_->Close(OLECLOSE_NOSAVE);
    ole_->SetClientSite(nullptr);
  }
  dispatch_.reset();
  ole_.reset();
  control_.reset();
  site_.reset();
  window_ = nullptr;
}

void ControlSite::move(const RECT& bounds) {
  if (!site_) return;
  static_cast<SiteObject*>(site_.get())->setBounds(bounds);
  if (auto inPlace = control_.as<IOleInPlaceObject>(IID_IOleInPlaceObject)) inPlace->SetObjectRects(&bounds, &bounds);
}

HRESULT ControlSite::putProperty(DISPID id, VARIANT value) {
  if (!dispatch_) return E_NOINTERFACE;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&value, &named, 1, 1};
  return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr,
                           nullptr);
}

}  // namespace vexil::framework
