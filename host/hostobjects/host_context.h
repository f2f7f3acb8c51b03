#pragma once
// What the script objects of the host reach of the running program: the application, its main
// window and player, the package's settings and movies, the temp directory, and the bridge that
// runs packaged scripts. The application fills it at start-up and clears what goes away (the main
// window) when it goes; the console runner leaves it empty, and every object answers as it does
// when there is no main window.
#include <windows.h>

#include <string>

namespace vexil::framework {
class WinApp;
}
namespace vexil::package {
struct PackageSettings;
struct MovieList;
}
namespace vexil::mainwnd {
class CMainWnd;
class ScriptBridge;
}

namespace vexil::hostobjects {

struct HostContext {
  framework::WinApp* app = nullptr;           // ExitInstance and PreTranslateMessage for processMsg
  mainwnd::CMainWnd* mainWnd = nullptr;       // null when there is no main window
  package::PackageSettings* settings = nullptr;
  const package::MovieList* movies = nullptr;
  std::string tempDir;                        // with a trailing backslash; empty when none
  mainwnd::ScriptBridge* bridge = nullptr;    // runs packaged scripts for `invoke`
  bool preview = false;
};

// The one context of the process.
HostContext& hostContext();

}  // namespace vexil::hostobjects
