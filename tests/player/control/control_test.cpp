// The control as a host sees it: created from the DLL file, driven through IDispatch, sending
// FSCommand events to connected sinks.
#include <gtest/gtest.h>

#include "player/control/control_ids.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"
#include "tests/player/control/test_container.h"

using namespace vexil::control;
using namespace vexil::control::testing;
using vexil::swf::ActionBuilder;
using vexil::swf::FrameSpec;
using vexil::swf::MovieOutline;

namespace {

// Frame 1 sends Vexil_Run/Initialize and sets a variable; frame 2 sends quit and stops.
std::vector<uint8_t> eventMovie() {
  MovieOutline outline;
  outline.backgroundColor = 0x102030;
  outline.frameRect = {0, 200 * 20, 0, 100 * 20};
  FrameSpec first;
  first.labels = {"start"};
  first.actions = {ActionBuilder().fsCommand("Vexil_Run", "Initialize").setVariable("/clip:greeting", "hello").bytes()};
  FrameSpec second;
  second.labels = {"end"};
  second.actions = {ActionBuilder().fsCommand("quit", "now").stop().bytes()};
  outline.frames = {first, second};
  return vexil::swf::writeMovie(outline);
}

std::wstring stringResult(IDispatch* control, const wchar_t* method, std::vector<VARIANT> arguments) {
  VARIANT result;
  VariantInit(&result);
  if (FAILED(callMethod(control, method, std::move(arguments), &result)) || result.vt != VT_BSTR) return L"<failed>";
  std::wstring text(result.bstrVal, SysStringLen(result.bstrVal));
  VariantClear(&result);
  return text;
}

LONG longResult(IDispatch* control, const wchar_t* method, std::vector<VARIANT> arguments = {}) {
  VARIANT result;
  VariantInit(&result);
  if (FAILED(callMethod(control, method, std::move(arguments), &result))) return -999;
  VariantChangeType(&result, &result, 0, VT_I4);
  return result.lVal;
}

std::wstring propertyText(IDispatch* control, const wchar_t* name) {
  VARIANT result;
  VariantInit(&result);
  if (FAILED(getProperty(control, name, &result)) || FAILED(VariantChangeType(&result, &result, 0, VT_BSTR))) {
    return L"<failed>";
  }
  std::wstring text(result.bstrVal, SysStringLen(result.bstrVal));
  VariantClear(&result);
  return text;
}

// A hidden container window for in-place activation. Without a display (Wine with no X server)
// it cannot be created, and the tests that need it skip.
class ParentWindow {
 public:
  ParentWindow() {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"container", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~ParentWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND handle() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace

TEST(ControlFromFile, ClassFactoryCreatesControlsWithOrWithoutLicenceKey) {
  ComApartment com;
  ControlLibrary library;
  ASSERT_TRUE(library.loaded());
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = library.entry<CanUnload>("DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  {
    ComPtr<IClassFactory> factory = library.factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(canUnload(), S_FALSE);
    ComPtr<IDispatch> plain;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, plain.putVoid()), S_OK);
    ComPtr<IClassFactory2> licensed = factory.as<IClassFactory2>(IID_IClassFactory2);
    ASSERT_TRUE(licensed);
    ComPtr<IOleObject> withoutKey, withKey;
    EXPECT_EQ(licensed->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, nullptr, withoutKey.putVoid()), S_OK);
    BSTR anyKey = SysAllocString(L"any key at all");
    EXPECT_EQ(licensed->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, anyKey, withKey.putVoid()), S_OK);
    SysFreeString(anyKey);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(plain.get(), IID_IUnknown, aggregated.putVoid()), CLASS_E_NOAGGREGATION);
    // Everything a container asks for on the way to hosting a child window.
    const IID* needed[] = {&IID_IOleObject, &IID_IOleInPlaceObject, &IID_IOleInPlaceActiveObject, &IID_IViewObject2,
                           &IID_IPersistStreamInit, &IID_IPersistPropertyBag, &IID_IConnectionPointContainer,
                           &IID_IOleControl, &IID_IProvideClassInfo2, &kAutomationIid};
    for (const IID* iid : needed) {
      ComPtr<IUnknown> part;
      EXPECT_EQ(plain->QueryInterface(*iid, part.putVoid()), S_OK);
    }
  }
  EXPECT_EQ(canUnload(), S_OK);
}

TEST(ControlFromFile, UnknownClassIsRefused) {
  ControlLibrary library;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(library.entry<GetClassObject>("DllGetClassObject")(IID_IDispatch, IID_IClassFactory, factory.putVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
}

TEST(Automation, EveryMemberNameResolves) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  ASSERT_TRUE(control);
  const wchar_t* names[] = {
      L"Play", L"Stop", L"Back", L"Forward", L"Rewind", L"StopPlay", L"GotoFrame", L"CurrentFrame", L"IsPlaying",
      L"PercentLoaded", L"FrameLoaded", L"FlashVersion", L"LoadMovie", L"SetVariable", L"GetVariable",
      L"SetZoomRect", L"Zoom", L"Pan", L"TGotoFrame", L"TGotoLabel", L"TCurrentFrame", L"TCurrentLabel", L"TPlay",
      L"TStopPlay", L"TSetProperty", L"TGetProperty", L"TCallFrame", L"TCallLabel", L"TSetPropertyNum",
      L"TGetPropertyNum", L"TotalFrames", L"Playing", L"Quality", L"ScaleMode", L"AlignMode", L"BackgroundColor",
      L"Loop", L"Movie", L"FrameNum", L"WMode", L"SAlign", L"Menu", L"Base", L"Scale", L"DeviceFont", L"EmbedMovie",
      L"BGColor", L"Quality2", L"SWRemote", L"FlashVars", L"movie", L"GETVARIABLE"};
  for (const wchar_t* name : names) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR text = const_cast<LPOLESTR>(name);
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    if (_wcsicmp(name, L"Movie") == 0) {
      EXPECT_EQ(id, kDispidMovie);
    }
  }
  DISPID id = 0;
  LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  // Read-only and method members refuse a property write.
  EXPECT_EQ(putProperty(control.get(), L"TotalFrames", intArg(3)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(putProperty(control.get(), L"Play", intArg(3)), DISP_E_MEMBERNOTFOUND);
}

TEST(Automation, PropertiesRoundTrip) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  ASSERT_TRUE(control);
  struct Case {
    const wchar_t* name;
    VARIANT value;
    const wchar_t* expected;  // read back, as text
    const wchar_t* partner;   // the other form of the same setting, if any
    const wchar_t* partnerExpected;
  };
  Case cases[] = {
      {L"Quality", intArg(0), L"0", L"Quality2", L"Low"},
      {L"Quality2", bstrArg(L"autohigh"), L"AutoHigh", L"Quality", L"3"},
      {L"ScaleMode", intArg(2), L"2", L"Scale", L"ExactFit"},
      {L"Scale", bstrArg(L"NoScale"), L"NoScale", L"ScaleMode", L"3"},
      {L"AlignMode", intArg(5), L"5", L"SAlign", L"LT"},
      {L"SAlign", bstrArg(L"br"), L"RB", L"AlignMode", L"10"},
      {L"BackgroundColor", intArg(0x336699), L"3368601", L"BGColor", L"336699"},
      {L"BGColor", bstrArg(L"#FF0080"), L"ff0080", L"BackgroundColor", L"16711808"},
      {L"Loop", boolArg(false), L"0", nullptr, nullptr},  // VARIANT_BOOL as text: 0 and -1
      {L"Menu", intArg(0), L"0", nullptr, nullptr},
      {L"DeviceFont", boolArg(true), L"-1", nullptr, nullptr},
      {L"EmbedMovie", intArg(1), L"-1", nullptr, nullptr},
      {L"WMode", bstrArg(L"Transparent"), L"Transparent", nullptr, nullptr},
      {L"Base", bstrArg(L"C:\\movies"), L"C:\\movies", nullptr, nullptr},
      {L"SWRemote", bstrArg(L"remote"), L"remote", nullptr, nullptr},
      {L"FlashVars", bstrArg(L"a=1&b=two"), L"a=1&b=two", nullptr, nullptr},
      {L"Movie", bstrArg(L"C:\\nowhere\\missing.swf"), L"C:\\nowhere\\missing.swf", L"TotalFrames", L"0"},
  };
  for (Case& c : cases) {
    EXPECT_EQ(putProperty(control.get(), c.name, c.value), S_OK) << c.name;
    EXPECT_EQ(propertyText(control.get(), c.name), c.expected) << c.name;
    if (c.partner) {
      EXPECT_EQ(propertyText(control.get(), c.partner), c.partnerExpected) << c.name;
    }
  }
  EXPECT_EQ(putProperty(control.get(), L"ScaleMode", intArg(9)), E_INVALIDARG);
  EXPECT_EQ(putProperty(control.get(), L"Scale", bstrArg(L"Sideways")), E_INVALIDARG);
  EXPECT_EQ(putProperty(control.get(), L"BackgroundColor", intArg(-1)), S_OK);
  EXPECT_EQ(propertyText(control.get(), L"BackgroundColor"), L"-1");
  EXPECT_EQ(longResult(control.get(), L"FlashVersion"), 0x80000);
  EXPECT_EQ(longResult(control.get(), L"PercentLoaded"), 0);
  EXPECT_EQ(callMethod(control.get(), L"GetVariable", {bstrArg(L"x")}), E_FAIL);  // no movie
}

TEST(Automation, MovieVariablesAndTargets) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  MovieFile movie(eventMovie());
  EXPECT_EQ(putProperty(control.get(), L"FlashVars", bstrArg(L"user=J%20Doe&n=3")), S_OK);
  EXPECT_EQ(putProperty(control.get(), L"Movie", bstrArg(movie.path().c_str())), S_OK);
  EXPECT_EQ(propertyText(control.get(), L"TotalFrames"), L"2");
  EXPECT_EQ(propertyText(control.get(), L"BackgroundColor"), L"1056816");  // the movie's 0x102030
  EXPECT_EQ(longResult(control.get(), L"PercentLoaded"), 100);
  EXPECT_EQ(stringResult(control.get(), L"GetVariable", {bstrArg(L"_root.clip.greeting")}), L"hello");
  EXPECT_EQ(stringResult(control.get(), L"GetVariable", {bstrArg(L"user")}), L"J Doe");
  EXPECT_EQ(callMethod(control.get(), L"SetVariable", {bstrArg(L"/:score"), bstrArg(L"12")}), S_OK);
  EXPECT_EQ(stringResult(control.get(), L"GetVariable", {bstrArg(L"_root.score")}), L"12");
  EXPECT_EQ(callMethod(control.get(), L"GetVariable", {bstrArg(L"never.set")}), E_FAIL);

  EXPECT_EQ(stringResult(control.get(), L"TCurrentLabel", {bstrArg(L"/")}), L"start");
  EXPECT_EQ(longResult(control.get(), L"TCurrentFrame", {bstrArg(L"_root")}), 0);
  EXPECT_EQ(callMethod(control.get(), L"TGotoLabel", {bstrArg(L"/"), bstrArg(L"end")}), S_OK);
  EXPECT_EQ(longResult(control.get(), L"CurrentFrame"), 1);
  EXPECT_EQ(callMethod(control.get(), L"TGotoLabel", {bstrArg(L"/"), bstrArg(L"nowhere")}), E_FAIL);
  EXPECT_EQ(callMethod(control.get(), L"TPlay", {bstrArg(L"/no/such/clip")}), E_FAIL);
  EXPECT_EQ(callMethod(control.get(), L"TSetPropertyNum", {bstrArg(L"/"), intArg(6), realArg(40.0)}), S_OK);
  EXPECT_EQ(stringResult(control.get(), L"TGetProperty", {bstrArg(L"/"), intArg(6)}), L"40");
  EXPECT_EQ(callMethod(control.get(), L"TSetProperty", {bstrArg(L"/"), intArg(4), bstrArg(L"1")}), E_FAIL);
  EXPECT_EQ(callMethod(control.get(), L"GotoFrame", {intArg(0)}), S_OK);
  EXPECT_EQ(callMethod(control.get(), L"GotoFrame", {intArg(7)}), E_INVALIDARG);
  EXPECT_EQ(callMethod(control.get(), L"LoadMovie", {intArg(0), bstrArg(L"C:\\nowhere.swf")}), E_FAIL);
}

using Command = std::pair<std::wstring, std::wstring>;

TEST(Events, FsCommandsReachEveryConnectedSink) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  EventSink first, second;
  {
    EventConnection firstConnection(control.get(), &first);
    EventConnection secondConnection(control.get(), &second);
    ASSERT_TRUE(firstConnection.connected() && secondConnection.connected());
    MovieFile movie(eventMovie());
    ASSERT_EQ(putProperty(control.get(), L"Movie", bstrArg(movie.path().c_str())), S_OK);
    EXPECT_EQ(first.commands, (std::vector<Command>{{L"Vexil_Run", L"Initialize"}}));
    EXPECT_EQ(second.commands, first.commands);
    EXPECT_EQ(callMethod(control.get(), L"Forward"), S_OK);
    EXPECT_EQ(first.commands, (std::vector<Command>{{L"Vexil_Run", L"Initialize"}, {L"quit", L"now"}}));
    EXPECT_EQ(second.commands, first.commands);
    EXPECT_TRUE(first.otherEvents.empty());
  }
  EXPECT_EQ(first.references(), 0u);  // every sink released on disconnect
  EXPECT_EQ(second.references(), 0u);
}

TEST(Events, FrameTimerAdvancesTheTimelineInPlace) {
  ComApartment com;
  ParentWindow parent;
  if (!parent.handle()) GTEST_SKIP() << "no display for windows";
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  EventSink sink;
  EventConnection connection(control.get(), &sink);
  MovieFile movie(eventMovie());
  ASSERT_EQ(putProperty(control.get(), L"Movie", bstrArg(movie.path().c_str())), S_OK);
  ComPtr<IOleObject> object = control.as<IOleObject>(IID_IOleObject);
  RECT position{0, 0, 200, 100};
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent.handle(), &position), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(control.as<IOleInPlaceObject>(IID_IOleInPlaceObject)->GetWindow(&window), S_OK);
  EXPECT_EQ(GetParent(window), parent.handle());
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  // What the frame timer sends; the second frame stops the movie, so the next tick does nothing.
  SendMessageW(window, WM_TIMER, 1, 0);
  SendMessageW(window, WM_TIMER, 1, 0);
  EXPECT_EQ(sink.commands, (std::vector<Command>{{L"Vexil_Run", L"Initialize"}, {L"quit", L"now"}}));
  EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_FALSE(IsWindow(window));
}

TEST(Events, HostsCanFindTheEventInterface) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  GUID events{};
  ASSERT_EQ(control.as<IProvideClassInfo2>(IID_IProvideClassInfo2)->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events),
            S_OK);
  EXPECT_TRUE(IsEqualIID(events, kEventsIid));
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(control.as<IConnectionPointContainer>(IID_IConnectionPointContainer)->EnumConnectionPoints(points.put()),
            S_OK);
  ComPtr<IConnectionPoint> point;
  ULONG fetched = 0;
  ASSERT_EQ(points->Next(1, point.put(), &fetched), S_OK);
  IID iid{};
  point->GetConnectionInterface(&iid);
  EXPECT_TRUE(IsEqualIID(iid, kEventsIid));
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(points->Next(1, none.put(), &fetched), S_FALSE);
}

TEST(Drawing, BackgroundFillsTheFramePlacedByScaleMode) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  MovieFile movie(eventMovie());  // 200 x 100 pixels, background 0x102030
  putProperty(control.get(), L"Movie", bstrArg(movie.path().c_str()));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 100);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  ComPtr<IViewObject2> view = control.as<IViewObject2>(IID_IViewObject2);
  RECTL bounds{0, 0, 400, 100};
  struct Case {
    LONG scaleMode;
    int x;
    COLORREF expected;
  };
  const COLORREF background = RGB(0x10, 0x20, 0x30), black = RGB(0, 0, 0);
  const Case cases[] = {
      {0, 50, black}, {0, 200, background}, {0, 350, black},  // show all: 200 wide, centred
      {2, 10, background}, {2, 390, background},            // exact fit fills everything
  };
  for (const Case& c : cases) {
    putProperty(control.get(), L"ScaleMode", intArg(c.scaleMode));
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(GetPixel(dc, c.x, 50), c.expected) << "mode " << c.scaleMode << " x " << c.x;
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}
