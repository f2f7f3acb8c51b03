#pragma once
// The screensaver application: picks the run mode from the command line, prepares the package
// (identity, temp directory, settings, movie list), creates the full-screen or preview window,
// and at exit undoes its system changes and removes every file it unpacked.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/app/command_line.h"
#include "host/app/error_log.h"
#include "host/app/system_settings.h"
#include "host/framework/win_app.h"
#include "host/mainwnd/main_wnd.h"
#include "host/mainwnd/preview_wnd.h"
#include "host/mainwnd/script_bridge.h"
#include "host/package/app_identity.h"
#include "host/package/module_resources.h"
#include "platform/win32/unique_handle.h"

namespace vexil::app {

using ScriptRunnerFactory = std::function<std::unique_ptr<mainwnd::ScriptRunner>()>;

class RuntimeApp : public framework::WinApp {
 public:
  // Without a factory, the application runs as if its package held no scripts.
  explicit RuntimeApp(ScriptRunnerFactory makeRunner = {});
  ~RuntimeApp() override;

  const std::string& tempDirectory() const { return tempDir_; }
  mainwnd::CMainWnd* mainWnd() const { return mainWnd_.get(); }

 protected:
  bool InitInstance() override;
  int ExitInstance() override;
  bool PreTranslateMessage(MSG& msg) override;
  bool OnIdle(long count) override;

 private:
  bool prepareApplication();
  bool loadIdentity();
  void loadPackage();
  bool startPreview();
  void showSettings(std::optional<long> owner);
  bool startFullScreen();
  void startPlaying();
  // The system changes undone and the unpacked files removed; safe to call more than once.
  void cleanUp();
  void releasePlayerFile();
  void sessionEnding();

  bool installOnly_ = false;
  platform::UniqueAccelerators accelerators_;
  int autorunRestore_ = 0;
  bool autorunChanged_ = false;
  package::AppIdentity identity_;
  std::string appName_;

  package::ModuleResources resources_;
  std::string tempDir_;
  package::PackageSettings settings_;
  package::MovieList movies_;
  SpeakerMute speakers_;
  // Before the bridge: the engines it holds write to the log until they go.
  std::unique_ptr<package::RunLog> errorLog_;
  ScriptRunnerFactory makeRunner_;
  std::unique_ptr<mainwnd::ScriptBridge> bridge_;
  std::unique_ptr<mainwnd::CMainWnd> mainWnd_;
  std::unique_ptr<mainwnd::PreviewWnd> preview_;
  bool cleanedUp_ = false;
};

}  // namespace vexil::app
