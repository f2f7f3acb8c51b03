#pragma once
// The container side of one hosted ActiveX control: a client site that activates the control in
// place as a child window of the host window, answers its ambient properties, and connects an
// event sink to the control's default source interface.
#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <string>

#include "platform/win32/com_ptr.h"

namespace vexil::framework {

using platform::ComPtr;

class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  // One event fired by the control; the arguments are as automation passes them (last first).
  virtual void onControlEvent(DISPID id, const DISPPARAMS& parameters) = 0;
};

struct ControlPlacement {
  HWND parent = nullptr;
  UINT id = 0;
  RECT bounds{};
};

class ControlSite {
 public:
  ControlSite() = default;
  ControlSite(const ControlSite&) = delete;
  ControlSite& operator=(const ControlSite&) = delete;
  ~ControlSite() { destroy(); }

  // Creates the registered class, or the class from a control file, and activates it in place.
  HRESULT createByClsid(REFCLSID clsid, const ControlPlacement& placement, ControlEvents* events = nullptr);
  HRESULT createFromFile(const std::wstring& path, REFCLSID clsid, const std::optional<std::wstring>& licenceKey,
                         const ControlPlacement& placement, ControlEvents* events = nullptr);
  // Sites an object already created.
  HRESULT attach(ComPtr<IUnknown> object, const ControlPlacement& placement, ControlEvents* events);
  // Disconnects the events, deactivates and closes the control and lets go of it.
  void destroy();

  bool exists() const { return static_cast<bool>(control_); }
  HWND window() const { return window_; }
  IDispatch* dispatch() const { return dispatch_.get(); }
  void move(const RECT& bounds);
  // Writes an automation property by dispatch id.
  HRESULT putProperty(DISPID id, VARIANT value);

 private:
  void connectEvents(ControlEvents* events);

  ComPtr<IUnknown> control_;
  ComPtr<IOleObject> ole_;
  ComPtr<IDispatch> dispatch_;
  ComPtr<IOleClientSite> site_;
  ComPtr<IDispatch> sink_;
  ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  HWND window_ = nullptr;
};

}  // namespace vexil::framework
