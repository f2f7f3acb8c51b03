// The screensaver's entry point: one application object, run with the command line's arguments.
#include <windows.h>

#include <memory>

#include "classes/class_list.h"
#include "host/app/runtime_app.h"
#include "host/mainwnd/engine_script_runner.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  auto arguments = vexil::framework::WinApp::splitCommandLine(GetCommandLineW());
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program itself
  vexil::app::RuntimeApp app([] {
    return std::make_unique<vexil::mainwnd::EngineScriptRunner>(vexil::classes::standardClasses());
  });
  return app.run(instance, std::move(arguments));
}
