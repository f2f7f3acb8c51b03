// The main window's plain decisions: the wake-up rules and the FSCommand table.
#include <gtest/gtest.h>

#include "host/mainwnd/fs_commands.h"
#include "host/mainwnd/wake_up_rules.h"

using namespace vexil::mainwnd;

TEST(WakeUpRules, Table) {
  constexpr uint16_t Q = 'Q', A = 'A', Esc = kVirtualKeyEscape;
  constexpr uint16_t CtrlAlt = kModifierCtrl | kModifierAlt;
  WakeUpSettings hotKey{kWakeHotKey, Q, CtrlAlt};
  struct Case {
    const char* what;
    WakeUpSettings settings;
    UserAction action;
    uint16_t key, modifiers;
    bool ends;
  } cases[] = {
      {"nothing set: left button", {0, 0, 0}, UserAction::LeftButton, 0, 0, false},
      {"nothing set: right button", {0, 0, 0}, UserAction::RightButton, 0, 0, false},
      {"nothing set: movement", {0, 0, 0}, UserAction::MouseMove, 0, 0, false},
      {"nothing set: middle button always", {0, 0, 0}, UserAction::MiddleButton, 0, 0, true},
      {"nothing set: Esc", {0, 0, 0}, UserAction::Key, Esc, 0, false},
      {"bit 1: left button", {kWakeLeftButton, 0, 0}, UserAction::LeftButton, 0, 0, true},
      {"bit 1: right button", {kWakeLeftButton, 0, 0}, UserAction::RightButton, 0, 0, false},
      {"bit 2: right button", {kWakeRightButton, 0, 0}, UserAction::RightButton, 0, 0, true},
      {"bit 4: movement", {kWakeMouseMove, 0, 0}, UserAction::MouseMove, 0, 0, true},
      {"bit 8: any key", {kWakeAnyKey, 0, 0}, UserAction::Key, A, 0, true},
      {"bit 16: Esc", {kWakeEscape, 0, 0}, UserAction::Key, Esc, 0, true},
      {"bit 16: another key", {kWakeEscape, 0, 0}, UserAction::Key, A, 0, false},
      {"bit 32: Q alone", hotKey, UserAction::Key, Q, 0, false},
      {"bit 32: Ctrl+Q", hotKey, UserAction::Key, Q, kModifierCtrl, false},
      {"bit 32: Ctrl+Alt+Q", hotKey, UserAction::Key, Q, CtrlAlt, true},
      {"bit 32: Ctrl+Alt+Shift+Q", hotKey, UserAction::Key, Q, CtrlAlt | kModifierShift, true},
      {"bit 32: Ctrl+Alt+A", hotKey, UserAction::Key, A, CtrlAlt, false},
      {"bit 32: Esc", hotKey, UserAction::Key, Esc, 0, false},
      {"bit 32: key press is not a click", hotKey, UserAction::LeftButton, 0, 0, false},
      // Ins, Home and End are stored with the extended-key flag (8), which is not a key to hold.
      {"bit 32: Ctrl+Home", {kWakeHotKey, 36, kModifierCtrl | 8}, UserAction::Key, 36, kModifierCtrl, true},
      {"bit 32: Home without Ctrl", {kWakeHotKey, 36, kModifierCtrl | 8}, UserAction::Key, 36, 0, false},
  };
  for (const Case& c : cases) EXPECT_EQ(endsScreensaver(c.settings, c.action, c.key, c.modifiers), c.ends) << c.what;
}

TEST(WakeUpRules, FirstPositionIsNeverAMovement) {
  MouseOrigin origin;
  EXPECT_FALSE(origin.isMovement(100, 100));
  EXPECT_FALSE(origin.isMovement(100, 100));
  EXPECT_TRUE(origin.isMovement(101, 100));
  EXPECT_TRUE(origin.isMovement(100, 99));
  MouseOrigin corner;
  EXPECT_FALSE(corner.isMovement(-1, -1));  // even where no position was seen yet
  EXPECT_TRUE(corner.isMovement(0, 0));
}

namespace {

class CommandLog : public FsCommandTarget {
 public:
  std::vector<std::string> calls;
  void quitScripts(const std::string&) override { calls.push_back("quitScripts"); }
  void runPackagedScript(const std::string& name) override { calls.push_back("run " + name); }
  void queueScript(const std::string& name) override { calls.push_back("queue " + name); }
  void evaluate(const std::string& source) override { calls.push_back("eval " + source); }
  void runScriptFile(const std::string& path) override { calls.push_back("file " + path); }
  void closeProgram(const std::string&) override { calls.push_back("close"); }
  void execute(const std::string& commandLine) override { calls.push_back("exec " + commandLine); }
};

}  // namespace

TEST(FsCommands, VerbsCompareWithoutCase) {
  struct Case {
    const char* verb;
    const char* argument;
    bool known;
    const char* call;  // nullptr: none
  } cases[] = {
      {"Vexil_Quit", "", true, "quitScripts"},
      {"vexil_run", "Initialize", true, "run Initialize"},
      {"VEXIL_RUN", "Other", true, "run Other"},
      {"Vexil_AsynRun", "Later", true, "queue Later"},
      {"Vexil_Eval", "1+1", true, "eval 1+1"},
      {"Vexil_File", "C:\\a.vxs", true, "file C:\\a.vxs"},
      {"Vexil_Trace", "text", true, nullptr},
      {"quit", "", true, "close"},
      {"QUIT", "now", true, "close"},
      {"exec", "notepad.exe", true, "exec notepad.exe"},
      {"Vexil_Runner", "x", false, nullptr},
      {"", "x", false, nullptr},
      {"fullscreen", "true", false, nullptr},
  };
  for (const Case& c : cases) {
    CommandLog log;
    EXPECT_EQ(dispatchFsCommand(log, c.verb, c.argument), c.known) << c.verb;
    EXPECT_EQ(log.calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}) << c.verb;
  }
}
