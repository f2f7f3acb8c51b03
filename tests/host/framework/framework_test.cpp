// The application framework under Wine: the application object's life and message loop, windows
// of our own and subclassed ones, and hosting the player control through the control site.
#include <gtest/gtest.h>

#include "host/framework/control_site.h"
#include "host/framework/win_app.h"
#include "host/framework/window.h"
#include "player/control/control_ids.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"
#include "tests/host/framework/gui_test_support.h"

using namespace vexil::framework;
using vexil::testing::OleApartment;
using vexil::testing::playerDllPath;
using vexil::testing::pumpUntil;
using vexil::testing::ScratchMovie;

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kSwallowed = WM_APP + 2;

// A window of our own that records what it was sent.
class RecordingWindow : public Window {
 public:
  std::vector<UINT> seen;
  bool finished = false;

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CREATE: return onCreate();
      case kPing: return onPing(wParam);
      case kSwallowed: return onPing(0);
      default: return defaultProc(message, wParam, lParam);
    }
  }
  void onFinalMessage() override { finished = true; }

 private:
  LRESULT onCreate() {
    seen.push_back(WM_CREATE);
    return 0;
  }
  LRESULT onPing(WPARAM value) {
    seen.push_back(kPing);
    return LRESULT(value + 1);
  }
};

WindowCreation hiddenPopup(const wchar_t* className) {
  WindowCreation creation;
  creation.className = className;
  creation.style = WS_POPUP;
  creation.bounds = {0, 0, 100, 100};
  return creation;
}

// An application whose InitInstance result and main window a test decides.
class ScriptedApp : public WinApp {
 public:
  bool initResult = true;
  bool withWindow = false;
  RecordingWindow window;
  std::vector<std::string> calls;
  long idleCalls = 0;

 protected:
  bool InitInstance() override {
    calls.push_back("InitInstance");
    if (withWindow && window.create(hiddenPopup(L"VexilTestAppWindow"))) {
      setMainWindow(&window);
      PostMessageW(window.handle(), kSwallowed, 0, 0);
      PostMessageW(window.handle(), kPing, 0, 0);
    }
    return initResult;
  }
  int ExitInstance() override {
    calls.push_back("ExitInstance");
    return WinApp::ExitInstance() + 40;
  }
  bool PreTranslateMessage(MSG& msg) override { return msg.message == kSwallowed; }
  // The first idle pass asks for another; the second ends the run by closing the main window.
  bool OnIdle(long count) override {
    ++idleCalls;
    if (count == 0) return true;
    if (window.handle()) window.destroy();
    return false;
  }
};

std::vector<uint8_t> commandMovie() {
  vexil::swf::MovieOutline outline;
  vexil::swf::FrameSpec frame;
  frame.actions = {vexil::swf::ActionBuilder().fsCommand("hello", "world").stop().bytes()};
  outline.frames = {frame};
  return vexil::swf::writeMovie(outline);
}

// Records the control's events.
class EventLog : public ControlEvents {
 public:
  std::vector<std::pair<DISPID, std::wstring>> events;
  void onControlEvent(DISPID id, const DISPPARAMS& parameters) override {
    std::wstring text;
    for (UINT i = parameters.cArgs; i-- > 0;) {
      if (parameters.rgvarg[i].vt == VT_BSTR) text += std::wstring(parameters.rgvarg[i].bstrVal) + L";";
    }
    events.emplace_back(id, text);
  }
};

VARIANT bstrValue(const std::wstring& text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text.c_str());
  return value;
}

}  // namespace

TEST(CommandLine, SplitsAsTheRuntimeDoes) {
  struct Case {
    const wchar_t* line;
    std::vector<std::wstring> expected;
  } cases[] = {
      {L"saver.scr", {L"saver.scr"}},
      {L"saver.scr /p 1234", {L"saver.scr", L"/p", L"1234"}},
      {L"\"C:\\a b\\saver.scr\" -s", {L"C:\\a b\\saver.scr", L"-s"}},
      {L"saver.scr /c:5678", {L"saver.scr", L"/c:5678"}},
  };
  for (const Case& c : cases) EXPECT_EQ(WinApp::splitCommandLine(c.line), c.expected) << c.line;
}

TEST(Application, FailedInitInstanceEndsAtOnceThroughExitInstance) {
  ScriptedApp app;
  app.initResult = false;
  EXPECT_EQ(app.run(GetModuleHandleW(nullptr), {L"/x"}), 40);
  EXPECT_EQ(app.calls, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
  EXPECT_EQ(app.arguments(), std::vector<std::wstring>{L"/x"});
  EXPECT_EQ(WinApp::current(), &app);
}

TEST(Application, NoMainWindowMeansNoMessageLoop) {
  ScriptedApp app;
  EXPECT_EQ(app.run(GetModuleHandleW(nullptr), {}), 40);
  EXPECT_EQ(app.idleCalls, 0);
}

TEST(Application, LoopRoutesMessagesRunsIdleAndEndsWithTheMainWindow) {
  ScriptedApp app;
  app.withWindow = true;
  EXPECT_EQ(app.run(GetModuleHandleW(nullptr), {}), 40);
  EXPECT_EQ(app.calls, (std::vector<std::string>{"InitInstance", "ExitInstance"}));
  EXPECT_EQ(app.window.seen, (std::vector<UINT>{WM_CREATE, kPing}));  // kSwallowed was consumed
  EXPECT_GE(app.idleCalls, 2);
  EXPECT_TRUE(app.window.finished);
  EXPECT_EQ(app.mainWindow(), nullptr);
}

TEST(WindowBase, OwnWindowAnswersItsMessagesAndLetsGoAtTheEnd) {
  RecordingWindow window;
  ASSERT_TRUE(window.create(hiddenPopup(L"VexilTestOwnWindow")));
  EXPECT_EQ(Window::fromHandle(window.handle()), &window);
  EXPECT_EQ(SendMessageW(window.handle(), kPing, 41, 0), 42);
  HWND hwnd = window.handle();
  window.destroy();
  EXPECT_TRUE(window.finished);
  EXPECT_EQ(window.handle(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.seen, (std::vector<UINT>{WM_CREATE, kPing}));
}

TEST(WindowBase, SubclassingSeesMessagesFirstAndPassesTheRestOn) {
  HWND stat = CreateWindowExW(0, L"STATIC", L"label text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(stat, nullptr);
  {
    RecordingWindow hook;
    ASSERT_TRUE(hook.subclass(stat));
    EXPECT_TRUE(hook.isSubclassed());
    EXPECT_FALSE(RecordingWindow().subclass(stat));  // one object per window
    EXPECT_EQ(SendMessageW(stat, kPing, 1, 0), 2);
    wchar_t text[32] = {};
    GetWindowTextW(stat, text, 32);  // the static's own procedure still answers
    EXPECT_STREQ(text, L"label text");
  }  // the object's end gives the window its own procedure back
  EXPECT_EQ(Window::fromHandle(stat), nullptr);
  EXPECT_EQ(SendMessageW(stat, kPing, 1, 0), 0);
  DestroyWindow(stat);
}

TEST(WindowBase, SubclassedWindowDestroyedUnderneathDetaches) {
  HWND stat = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  RecordingWindow hook;
  ASSERT_TRUE(hook.subclass(stat));
  DestroyWindow(stat);
  EXPECT_TRUE(hook.finished);
  EXPECT_EQ(hook.handle(), nullptr);
}

TEST(ControlSiteTest, PlayerFromFileBecomesAChildWithItsIdAndFiresEvents) {
  OleApartment ole;
  RecordingWindow host;
  ASSERT_TRUE(host.create(hiddenPopup(L"VexilTestHost")));
  ScratchMovie movie(commandMovie());
  EventLog log;
  for (auto licence : {std::optional<std::wstring>(), std::optional<std::wstring>(L"some key")}) {
    ControlSite site;
    ASSERT_EQ(site.createFromFile(playerDllPath(), vexil::control::kControlClsid, licence,
                                  {host.handle(), 1000, {0, 0, 80, 60}}, &log),
              S_OK);
    ASSERT_NE(site.window(), nullptr);
    EXPECT_EQ(GetParent(site.window()), host.handle());
    EXPECT_EQ(GetDlgCtrlID(site.window()), 1000);
    EXPECT_TRUE(GetWindowLongW(site.window(), GWL_STYLE) & WS_VISIBLE);
    site.move({0, 0, 40, 30});
    RECT client;
    GetClientRect(site.window(), &client);
    EXPECT_EQ(client.right, 40);
    ASSERT_NE(site.dispatch(), nullptr);
    log.events.clear();
    EXPECT_EQ(site.putProperty(vexil::control::kDispidMovie, bstrValue(movie.path())), S_OK);
    EXPECT_TRUE(pumpUntil([&] { return !log.events.empty(); }));
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].first, vexil::control::kDispidFsCommand);
    EXPECT_EQ(log.events[0].second, L"hello;world;");
    HWND child = site.window();
    site.destroy();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(site.exists());
  }
}

TEST(ControlSiteTest, CreationFailuresSayWhy) {
  OleApartment ole;
  RecordingWindow host;
  ASSERT_TRUE(host.create(hiddenPopup(L"VexilTestHost")));
  ControlPlacement placement{host.handle(), 1000, {0, 0, 10, 10}};
  ControlSite site;
  EXPECT_EQ(site.createFromFile(L"C:\\no\\such\\player.ocx", vexil::control::kControlClsid, std::nullopt, placement),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(site.createFromFile(L"version.dll", vexil::control::kControlClsid, std::nullopt, placement),
            CO_E_ERRORINDLL);
  const CLSID nowhere = {0x0badc0de, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(site.createByClsid(nowhere, placement), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(site.exists());
}
