#pragma once
// The full-screen window: borderless, covering the primary screen, hosting the player (child id
// 1000). It turns the movie's FSCommand events into script runs and closes the program when asked,
// waiting while scripts are running.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/framework/control_site.h"
#include "host/framework/window.h"
#include "host/framework/window_messages.h"
#include "host/mainwnd/fs_commands.h"
#include "host/mainwnd/modal_wake_up.h"
#include "host/mainwnd/package_context.h"
#include "host/mainwnd/player_control.h"
#include "host/mainwnd/script_bridge.h"

namespace vexil::mainwnd {

inline constexpr UINT kPlayerControlId = 1000;
inline constexpr UINT kFirstMenuCommand = 47000;
inline constexpr UINT kLastMenuCommand = 56999;
inline constexpr const wchar_t* kMainWindowClass = L"CMainWnd";

struct MainWindowServices {
  // The player file to load, or the empty text for the registered player.
  std::function<std::string()> providePlayer;
  // The session is ending: the process will not get back to its normal exit.
  std::function<void()> sessionEnding;
  std::wstring messageCaption;
};

class CMainWnd : public framework::Window, public FsCommandTarget, public framework::ControlEvents {
 public:
  CMainWnd(PackageContext context, ScriptBridge& bridge, MainWindowServices services);
  ~CMainWnd() override;

  // Creates the window over the whole primary screen; false when it or the player fails.
  bool createFullScreen();

  PlayerControl& player() { return player_; }
  // Controls scripts place over the movie (createControl): they live until the player goes, and
  // go before it, since they are its children.
  void keepScriptControl(std::unique_ptr<framework::ControlSite> site) { scriptControls_.push_back(std::move(site)); }
  const PackageContext& context() const { return context_; }
  // Runs the oldest queued asynchronous script; true while more are waiting.
  bool runQueuedScript();
  bool hasQueuedScripts() const { return !asyncQueue_.empty(); }
  // The close of WM_CLOSE: ignored while a modal dialog is up, re-posted while scripts run.
  void close();

  // FsCommandTarget
  void quitScripts(const std::string&) override;
  void runPackagedScript(const std::string& name) override;
  void queueScript(const std::string& name) override;
  void evaluate(const std::string& source) override;
  void runScriptFile(const std::string& path) override;
  void closeProgram(const std::string&) override { close(); }
  void execute(const std::string& commandLine) override;

  // ControlEvents: the player's FSCommand.
  void onControlEvent(DISPID id, const DISPPARAMS& parameters) override;

 protected:
  void preCreateWindow(framework::WindowCreation& creation) override;
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT onCreate();
  LRESULT onSize(LPARAM lParam);
  LRESULT onActivateApp(WPARAM wParam);
  LRESULT onSetFocus();
  LRESULT onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onEndSession(WPARAM wParam);
  LRESULT onDestroy();

  PackageContext context_;
  ScriptBridge& bridge_;
  MainWindowServices services_;
  std::unique_ptr<ModalWakeUp> modalWakeUp_;
  void destroyPlayer();

  PlayerControl player_;
  std::vector<std::unique_ptr<framework::ControlSite>> scriptControls_;
  std::deque<std::string> asyncQueue_;
};

}  // namespace vexil::mainwnd
