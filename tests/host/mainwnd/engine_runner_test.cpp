// The product's script runner on a real script host: what player commands and the start-up script
// rely on — one host made on first use and kept, state lost on quit, compiled packaged scripts
// decoded once, failures that leave the runner usable.
#include <gtest/gtest.h>

#include <cstdio>

#include "host/mainwnd/engine_script_runner.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "script/compiler/compiler.h"
#include "classes/class_list.h"

using vexil::mainwnd::EngineScriptRunner;

namespace {

std::vector<uint8_t> compiled(const std::string& source) {
  vexil::script::ScriptHost* scratch = vexil::script::createScriptHost(nullptr, nullptr);
  auto bytes = vexil::script::compileText(*scratch->engine, source, 0);
  vexil::script::destroyScriptHost(scratch);
  EXPECT_TRUE(bytes) << source;
  return bytes.value_or(std::vector<uint8_t>());
}

class EngineRunner : public ::testing::Test {
 protected:
  EngineScriptRunner runner{vexil::classes::portableClasses()};
};

TEST_F(EngineRunner, HostIsMadeOnFirstRunAndKeepsStateUntilDestroyed) {
  EXPECT_FALSE(runner.hostExists());
  EXPECT_FALSE(runner.lastResultBoolean());
  runner.evaluate("var kept = 20; kept > 10;");
  ASSERT_TRUE(runner.hostExists());
  EXPECT_EQ(runner.lastResultBoolean(), true);
  runner.evaluate("kept == 20;");
  EXPECT_EQ(runner.lastResultBoolean(), true);

  runner.destroyHost();
  EXPECT_FALSE(runner.hostExists());
  runner.evaluate("typeof kept == \"undefined\";");
  EXPECT_EQ(runner.lastResultBoolean(), true);
}

TEST_F(EngineRunner, OnlyABooleanResultCounts) {
  runner.evaluate("6 * 7;");
  EXPECT_FALSE(runner.lastResultBoolean());
  runner.evaluate("false;");
  EXPECT_EQ(runner.lastResultBoolean(), false);
}

TEST_F(EngineRunner, PackagedScriptRunsAgainOnTheSameHost) {
  auto script = compiled("var runs; if (runs == null) runs = 0; runs = runs + 1; runs == 2;");
  uintptr_t state = 0;
  runner.runCompiled("Counter", script, state);
  EXPECT_EQ(runner.lastResultBoolean(), false);
  EXPECT_NE(state, 0u);
  runner.runCompiled("Counter", script, state);
  EXPECT_EQ(runner.lastResultBoolean(), true);
}

TEST_F(EngineRunner, DamagedPackagedScriptRunsNothing) {
  uintptr_t state = 0;
  const std::vector<uint8_t> damaged{'V', 'S', '1', 'b', 0, 0, 0};
  runner.runCompiled("Damaged", damaged, state);
  EXPECT_EQ(state, 0u);
  EXPECT_FALSE(runner.lastResultBoolean());
}

TEST_F(EngineRunner, FailedRunLeavesTheRunnerUsable) {
  runner.evaluate("throw \"stop\";");
  runner.evaluate("this is not a script");
  runner.evaluate("1 == 1;");
  EXPECT_EQ(runner.lastResultBoolean(), true);
}

// Input that nobody takes ends a script that neither returns nor pumps messages; the runner stays
// usable, and scripts that end in time are never stopped.
TEST(EngineRunnerGuard, RunawayScriptEndsOnceInputWaitsUnanswered) {
  EngineScriptRunner runner{vexil::classes::portableClasses(), vexil::mainwnd::RunawayGuard([] { return true; })};
  runner.evaluate("var spins = 0; while (true) spins = spins + 1;");
  ASSERT_TRUE(runner.hostExists());
  EXPECT_STREQ(runner.host()->engine->message, "Runtime error: hook break 1");
  runner.evaluate("spins > 0;");
  EXPECT_EQ(runner.lastResultBoolean(), true);
}

TEST(EngineRunnerGuard, WithoutWaitingInputLongScriptsRun) {
  EngineScriptRunner runner{vexil::classes::portableClasses(), vexil::mainwnd::RunawayGuard([] { return false; })};
  runner.evaluate("var n = 0; for (var i = 0; i < 300000; i++) n = n + 1; n == 300000;");
  EXPECT_EQ(runner.lastResultBoolean(), true);
}

TEST_F(EngineRunner, RunsSourceAndCompiledFiles) {
  std::string dir = vexil::platform::environmentVariable("TEMP").value_or(".");
  std::string source = dir + "\\engine_runner_test.vxs";
  std::string compiledFile = dir + "\\engine_runner_test.bin";
  const std::string text = "var fromFile = 3; fromFile == 3;";
  ASSERT_TRUE(vexil::platform::writeWholeFile(source, text.data(), text.size()));
  auto bytes = compiled("var fromCompiled = 4; fromCompiled == 4;");
  ASSERT_TRUE(vexil::platform::writeWholeFile(compiledFile, bytes.data(), bytes.size()));

  runner.runFile(source);
  EXPECT_EQ(runner.lastResultBoolean(), true);
  runner.runFile(compiledFile);  // no known extension: the magic decides
  EXPECT_EQ(runner.lastResultBoolean(), true);
  std::remove(source.c_str());
  std::remove(compiledFile.c_str());
}

}  // namespace

// What the main window does with script menus: keys go to the runner's accelerator tables, and the
// command they send comes back to the runner, which runs the host's onCommand handler.
static EngineScriptRunner* commandRunner = nullptr;

static LRESULT CALLBACK commandTarget(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && commandRunner) commandRunner->menuCommand(LOWORD(wParam));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(EngineRunnerMenus, AcceleratorKeysRunTheHostsOnCommandWithTheItemsText) {
  EngineScriptRunner runner{vexil::classes::standardClasses()};
  WNDCLASSW wc{};
  wc.lpfnWndProc = commandTarget;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EngineRunnerCommandTarget";
  RegisterClassW(&wc);
  HWND target = CreateWindowW(wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  if (!target) GTEST_SKIP() << "no window without a display";
  commandRunner = &runner;

  MSG key{target, WM_KEYDOWN, VK_F5, 0, 0, {}};
  EXPECT_FALSE(runner.translateAccelerator(key, target));  // no host yet
  runner.evaluate(
      "var heard = null; function h(t) { heard = t; } Menu.onCommand = h;"
      "var m = new Menu(); m.createPopupMenu(); m.appendItem('reload', 'Reload\\tF5'); m.enableAccel = true; true;");
  ASSERT_EQ(runner.lastResultBoolean(), true);
  EXPECT_TRUE(runner.translateAccelerator(key, target));
  runner.evaluate("heard == 'reload';");
  EXPECT_EQ(runner.lastResultBoolean(), true);

  MSG other{target, WM_KEYDOWN, VK_F6, 0, 0, {}};
  EXPECT_FALSE(runner.translateAccelerator(other, target));
  EXPECT_FALSE(runner.menuCommand(56999));  // routed to the class, but no item has it
  runner.destroyHost();
  EXPECT_FALSE(runner.menuCommand(47000));
  EXPECT_FALSE(runner.translateAccelerator(key, target));

  commandRunner = nullptr;
  DestroyWindow(target);
}
