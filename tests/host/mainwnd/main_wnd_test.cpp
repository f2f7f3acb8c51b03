// The full-screen window under Wine with the stand-in player and a scripted runner in place of
// the script engine: FSCommands sent by real movies, the start-up script's outcome, and the close
// that waits for running scripts.
#include <gtest/gtest.h>

#include "host/framework/win_app.h"
#include "host/mainwnd/main_wnd.h"
#include "host/mainwnd/preview_wnd.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"
#include "tests/host/framework/gui_test_support.h"

using namespace vexil::mainwnd;
using vexil::swf::ActionBuilder;

namespace {

// Records what the window asks of the script side. "Busy" stands for a script that pumps
// messages while it runs (as processMsg does), during which a close is requested.
class ScriptedRunner : public ScriptRunner {
 public:
  std::vector<std::string> calls;
  std::vector<int> nestingSeen;
  std::optional<bool> lastResult;
  ScriptBridge* bridge = nullptr;
  HWND busyWindow = nullptr;
  bool windowAliveWhileBusy = false, windowHiddenWhileBusy = false;

  bool hostExists() const override { return host_; }
  void destroyHost() override {
    if (host_) calls.push_back("destroy host");
    host_ = false;
  }
  void runCompiled(const std::string& name, std::span<const uint8_t>, uintptr_t& state) override {
    record("run " + name + " #" + std::to_string(state++));
    if (name == "Busy") busy();
  }
  void evaluate(const std::string& source) override { record("eval " + source); }
  void runFile(const std::string& path) override { record("file " + path); }
  std::optional<bool> lastResultBoolean() const override { return lastResult; }
  std::optional<std::string> callHook(ScriptHook) override { return std::nullopt; }
  bool menuCommand(UINT) override { return false; }
  bool translateAccelerator(MSG&, HWND) override { return false; }
  HCURSOR cursor() const override { return nullptr; }
  void closeTrace() override { calls.push_back("close trace"); }

 private:
  void record(const std::string& call) {
    host_ = true;
    calls.push_back(call);
    nestingSeen.push_back(bridge ? bridge->nesting() : -1);
  }
  void busy() {
    PostMessageW(busyWindow, WM_CLOSE, 0, 0);
    // One message per pass: the close request keeps coming round, so the queue is never empty.
    for (int pass = 0; pass < 200; ++pass) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    windowAliveWhileBusy = IsWindow(busyWindow);
    windowHiddenWhileBusy = !IsWindowVisible(busyWindow);
  }
  bool host_ = false;
};

vexil::package::MemoryResources scriptPackage() {
  vexil::package::MemoryResources resources;
  for (const char* name : {"INITIALIZE", "LATER", "BUSY"}) {
    resources.add(name, "VEXIL", vexil::package::encodeBlob(std::vector<uint8_t>{'V', 'S', '1', 'b'}));
  }
  return resources;
}

std::vector<uint8_t> movieSending(const std::vector<std::vector<std::pair<std::string, std::string>>>& frames) {
  vexil::swf::MovieOutline outline;
  outline.frameRate = 30 << 8;
  for (const auto& commands : frames) {
    ActionBuilder actions;
    for (const auto& [verb, argument] : commands) actions.fsCommand(verb, argument);
    vexil::swf::FrameSpec frame;
    frame.actions = {actions.stop().play().bytes()};
    outline.frames.push_back(frame);
  }
  outline.frames.back().actions = {ActionBuilder().stop().bytes()};
  return vexil::swf::writeMovie(outline);
}

// A full-screen window with the stand-in player and the scripted runner, driven by the framework's
// message loop with the application's idle handling of queued scripts.
class Harness : public vexil::framework::WinApp {
 public:
  vexil::package::MemoryResources resources = scriptPackage();
  vexil::package::PackageSettings settings;
  vexil::package::MovieList movies;
  ScriptedRunner* runner = new ScriptedRunner;
  ScriptBridge bridge{resources, std::unique_ptr<ScriptRunner>(runner)};
  std::string playerFile = vexil::platform::toAnsi(vexil::testing::playerDllPath());
  std::optional<std::wstring> movie;
  CMainWnd window{{&movies, &settings}, bridge, {[this] { return playerFile; }, nullptr, L"test"}};
  bool created = false;
  std::function<void()> onCreated;

  Harness() { runner->bridge = &bridge; }

 protected:
  bool InitInstance() override {
    enableControlContainer();
    created = window.createFullScreen();
    if (!created) return false;
    runner->busyWindow = window.handle();
    setMainWindow(&window);
    if (onCreated) onCreated();
    if (movie) window.player().setMovie(vexil::platform::toAnsi(*movie));
    return true;
  }
  bool OnIdle(long) override { return window.runQueuedScript(); }
};

}  // namespace

TEST(MainWindow, CoversTheScreenAndHostsThePlayerAsControl1000) {
  vexil::testing::ScratchMovie movie(movieSending({{{"quit", ""}}, {}}));
  Harness harness;
  harness.movie = movie.path();
  harness.onCreated = [&] {
    HWND window = harness.window.handle();
    RECT bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(bounds.bottom - bounds.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);
    HWND player = GetDlgItem(window, kPlayerControlId);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player, harness.window.player().handle());
    RECT client;
    GetClientRect(player, &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
  };
  EXPECT_EQ(harness.run(GetModuleHandleW(nullptr), {}), 0);
  ASSERT_TRUE(harness.created);
  EXPECT_EQ(harness.window.handle(), nullptr);  // closed by the movie's "quit"
  EXPECT_EQ(harness.runner->calls, (std::vector<std::string>{"close trace"}));
}

TEST(MainWindow, EveryCommandOfTheMovieReachesItsHandler) {
  std::string marker = vexil::platform::environmentVariable("TEMP").value_or("C:") + "\\" +
                       vexil::platform::newGuidText() + ".txt";
  vexil::testing::ScratchMovie movie(movieSending({
      {{"VEXIL_RUN", "Initialize"}, {"vexil_run", "initialize"}, {"Vexil_Run", "Missing"}, {"Vexil_Eval", "1+1"},
       {"Vexil_File", "C:\\script.vxs"}, {"Vexil_Trace", "ignored"}, {"Vexil_AsynRun", "Later"},
       {"Vexil_Quit", ""}, {"Vexil_Eval", "again"}, {"no_such_verb", "x"},
       {"exec", "cmd /c echo done> \"" + marker + "\""}},
      // Quiet frames: the first frame's work (starting a process under Wine) can outlast the frame
      // interval, and the loop is idle only once a frame ends before the next is due.
      {}, {}, {}, {}, {}, {}, {}, {},
      {{"quit", ""}},
      {},
  }));
  Harness harness;
  harness.movie = movie.path();
  EXPECT_EQ(harness.run(GetModuleHandleW(nullptr), {}), 0);
  // The packaged script keeps its state word between runs; the queued one runs when the loop is
  // idle; "Vexil_Quit" drops the host and the next command makes a fresh one.
  EXPECT_EQ(harness.runner->calls,
            (std::vector<std::string>{"run Initialize #0", "run initialize #1", "eval 1+1", "file C:\\script.vxs",
                                      "destroy host", "eval again", "run Later #0", "destroy host", "close trace"}));
  for (int nesting : harness.runner->nestingSeen) EXPECT_EQ(nesting, 1);
  EXPECT_TRUE(vexil::testing::pumpUntil([&] { return vexil::platform::fileExists(marker); }));
  vexil::platform::deleteFile(marker);
}

TEST(MainWindow, CloseWaitsForTheRunningScript) {
  vexil::testing::ScratchMovie movie(movieSending({{{"Vexil_Run", "Busy"}}, {}}));
  Harness harness;
  harness.movie = movie.path();
  EXPECT_EQ(harness.run(GetModuleHandleW(nullptr), {}), 0);
  EXPECT_TRUE(harness.runner->windowAliveWhileBusy);
  EXPECT_TRUE(harness.runner->windowHiddenWhileBusy);
  EXPECT_EQ(harness.runner->calls, (std::vector<std::string>{"run Busy #0", "destroy host", "close trace"}));
  EXPECT_EQ(harness.bridge.nesting(), 0);
}

TEST(MainWindow, PlayerThatWillNotLoadEndsStartUpAfterTheStartUpScript) {
  Harness harness;
  harness.playerFile = "C:\\no\\such\\flash.ocx";
  harness.runner->lastResult = false;  // the script says: no message box
  EXPECT_NE(harness.run(GetModuleHandleW(nullptr), {}), 99);
  EXPECT_FALSE(harness.created);
  EXPECT_EQ(harness.runner->calls, std::vector<std::string>{"run Initialize #0"});
}

TEST(StartupScript, OutcomeIsTheBooleanResultOrTrue) {
  struct Case {
    bool packaged;
    std::optional<bool> result;
    bool outcome;
  } cases[] = {{true, false, false}, {true, true, true}, {true, std::nullopt, true}, {false, false, true}};
  for (const Case& c : cases) {
    vexil::package::MemoryResources resources = c.packaged ? scriptPackage() : vexil::package::MemoryResources();
    auto* runner = new ScriptedRunner;
    runner->lastResult = c.result;
    ScriptBridge bridge(resources, std::unique_ptr<ScriptRunner>(runner));
    EXPECT_EQ(bridge.runStartupScript(), c.outcome);
    EXPECT_EQ(bridge.nesting(), 0);
  }
}

// The preview in the icon mode shows the package's About picture, scaled with its proportions
// kept and centred on black. (The real preview's parent belongs to another process, whose
// painting this Wine does not show on screen, so the window is tested inside a parent of ours.)
TEST(PreviewWindow, ShowsTheAboutPictureScaledToFit) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"preview parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_TRUE(parent);
  // An 8x4 picture, blue-green 0x3366CC, as the package would carry it.
  uint32_t pixels[32];
  std::fill(std::begin(pixels), std::end(pixels), 0x3366CCu);
  HBITMAP picture = CreateBitmap(8, 4, 1, 32, pixels);
  vexil::package::MovieList movies;
  vexil::package::PackageSettings settings;
  settings.previewMode = kPreviewIcon;
  PreviewWnd preview({&movies, &settings}, vexil::platform::UniqueBitmap(picture));
  ASSERT_TRUE(preview.createIn(parent));
  UpdateWindow(preview.handle());
  for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  HDC dc = GetDC(preview.handle());
  // 8x4 in 200x200: 200x100 from y = 50.
  COLORREF centre = GetPixel(dc, 100, 100), top = GetPixel(dc, 100, 20), bottom = GetPixel(dc, 100, 180);
  ReleaseDC(preview.handle(), dc);
  DestroyWindow(parent);
  EXPECT_EQ(centre, RGB(0x33, 0x66, 0xCC));
  EXPECT_EQ(top, RGB(0, 0, 0));
  EXPECT_EQ(bottom, RGB(0, 0, 0));
}
