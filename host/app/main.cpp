// The screensaver's entry point: one application object, run with the command line's arguments.
#include <windows.h>

#include <memory>

#include "host/app/runtime_app.h"
#include "host/hostobjects/host_objects.h"
#include "host/mainwnd/engine_script_runner.h"
#include "script/vm/standard_classes.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  auto arguments = vexil::framework::WinApp::splitCommandLine(GetCommandLineW());
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program itself
  vexil::app::RuntimeApp app([] {
    vexil::script::ClassRegistry classes = vexil::script::standardClasses();
    vexil::hostobjects::addHostObjects(classes);
    return std::make_unique<vexil::mainwnd::EngineScriptRunner>(std::move(classes));
  });
  return app.run(instance, std::move(arguments));
}
