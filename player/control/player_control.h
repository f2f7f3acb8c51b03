#pragma once
// The stand-in player control: a COM object that a container hosts as a child window, plays a
// movie's timeline, answers the automation calls hosts make, and fires FSCommand to its sinks.
// Everything runs on the thread that created it (apartment threaded).
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <oleidl.h>

#include <string>
#include <string_view>

#include "platform/win32/com_ptr.h"
#include "player/control/fs_command_events.h"
#include "player/control/control_settings.h"
#include "player/control/control_window.h"
#include "player/control/dispatch_call.h"
#include "player/control/type_library.h"
#include "player/render/movie_display.h"
#include "player/swf/movie_player.h"

namespace vexil::control {

using platform::ComPtr;

class PlayerControl final : public IDispatch,
                            public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IOleControl,
                            public IViewObject2,
                            public IPersistStreamInit,
                            public IPersistPropertyBag,
                            public IConnectionPointContainer,
                            public IProvideClassInfo2,
                            private ControlWindowOwner {
 public:
  // Creates a control and asks it for iid; the new object's own reference is handed over.
  static HRESULT create(REFIID iid, void** object);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch (automation.cpp)
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  // IOleObject (ole_object.cpp)
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject (ole_object.cpp)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IViewObject2 (ole_object.cpp)
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                    HDC dc, LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cancel)(ULONG_PTR),
                    ULONG_PTR cancelArgument) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return E_NOTIMPL; }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag (persistence.cpp)
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override { return S_OK; }
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IProvideClassInfo2: the class's description from the type library, whose default source is the
  // event interface; GetGUID names that interface without it.
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

 private:
  PlayerControl();
  ~PlayerControl();

  // Movie handling (player_control.cpp)
  bool loadMovie(const std::string& url);
  void applyFlashVars();
  void deliverCommands();
  void restartFrameTimer();
  uint32_t effectiveBackground() const;
  // Runs a player operation, then hands queued FSCommands to the sinks.
  template <typename Operation>
  void withEvents(Operation operation) {
    operation();
    deliverCommands();
  }

  // ControlWindowOwner
  void paint(HDC dc, const RECT& bounds) override;
  void frameTimer() override;

  // In-place activation (ole_object.cpp)
  HRESULT activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position);

  // Automation members (automation.cpp): one handler per name, properties read and write.
  friend struct AutomationTable;
  HRESULT memberPlay(DispatchCall& call);
  HRESULT memberStop(DispatchCall& call);
  HRESULT memberBack(DispatchCall& call);
  HRESULT memberForward(DispatchCall& call);
  HRESULT memberRewind(DispatchCall& call);
  HRESULT memberStopPlay(DispatchCall& call);
  HRESULT memberGotoFrame(DispatchCall& call);
  HRESULT memberCurrentFrame(DispatchCall& call);
  HRESULT memberIsPlaying(DispatchCall& call);
  HRESULT memberPercentLoaded(DispatchCall& call);
  HRESULT memberFrameLoaded(DispatchCall& call);
  HRESULT memberFlashVersion(DispatchCall& call);
  HRESULT memberLoadMovie(DispatchCall& call);
  HRESULT memberSetVariable(DispatchCall& call);
  HRESULT memberGetVariable(DispatchCall& call);
  HRESULT memberSetZoomRect(DispatchCall& call);
  HRESULT memberZoom(DispatchCall& call);
  HRESULT memberPan(DispatchCall& call);
  HRESULT memberTGotoFrame(DispatchCall& call);
  HRESULT memberTGotoLabel(DispatchCall& call);
  HRESULT memberTCurrentFrame(DispatchCall& call);
  HRESULT memberTCurrentLabel(DispatchCall& call);
  HRESULT memberTPlay(DispatchCall& call);
  HRESULT memberTStopPlay(DispatchCall& call);
  HRESULT memberTSetProperty(DispatchCall& call);
  HRESULT memberTGetProperty(DispatchCall& call);
  HRESULT memberTCallFrame(DispatchCall& call);
  HRESULT memberTCallLabel(DispatchCall& call);
  HRESULT memberTSetPropertyNum(DispatchCall& call);
  HRESULT memberTGetPropertyNum(DispatchCall& call);
  HRESULT memberReadyState(DispatchCall& call);
  HRESULT memberTotalFrames(DispatchCall& call);
  HRESULT memberPlaying(DispatchCall& call);
  HRESULT memberQuality(DispatchCall& call);
  HRESULT memberScaleMode(DispatchCall& call);
  HRESULT memberAlignMode(DispatchCall& call);
  HRESULT memberBackgroundColor(DispatchCall& call);
  HRESULT memberLoop(DispatchCall& call);
  HRESULT memberMovie(DispatchCall& call);
  HRESULT memberFrameNum(DispatchCall& call);
  HRESULT memberWMode(DispatchCall& call);
  HRESULT memberSAlign(DispatchCall& call);
  HRESULT memberMenu(DispatchCall& call);
  HRESULT memberBase(DispatchCall& call);
  HRESULT memberScale(DispatchCall& call);
  HRESULT memberDeviceFont(DispatchCall& call);
  HRESULT memberEmbedMovie(DispatchCall& call);
  HRESULT memberBGColor(DispatchCall& call);
  HRESULT memberQuality2(DispatchCall& call);
  HRESULT memberSWRemote(DispatchCall& call);
  HRESULT memberFlashVars(DispatchCall& call);
  HRESULT stringProperty(DispatchCall& call, std::string& field);
  HRESULT booleanProperty(DispatchCall& call, bool& field);

  LONG references_ = 1;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
  SIZEL extent_{14552, 10583};  // 550 x 400 pixels in HIMETRIC at 96 dpi
  ControlWindow window_;
  // Sinks answer for the event interface, or at least for IDispatch: the event is plain Invoke.
  platform::ConnectionPoint events_;
  swf::MoviePlayer player_;
  // What the movie shows, and the last frame drawn from it with what it was drawn for; a paint
  // that finds nothing changed only copies the frame to the window.
  struct DrawnFor {
    int32_t width = 0, height = 0, scaleMode = 0, alignMode = 0, quality = 0;
    std::optional<uint32_t> background;
    bool operator==(const DrawnFor&) const = default;
  };
  std::unique_ptr<render::MovieDisplay> display_;
  render::Bitmap frame_;
  DrawnFor drawnFor_;
  bool contentChanged_ = true;
  ControlSettings settings_;
  TypeLibrary typeLibrary_;
  bool delivering_ = false;

  void drawMovie(HDC dc, const RECT& bounds);
};

}  // namespace vexil::control
