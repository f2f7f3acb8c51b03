#include "host/hostobjects/runner_services.h"

#include "host/hostobjects/application_state.h"
#include "host/hostobjects/menu_class.h"
#include "host/hostobjects/script_cursor.h"
#include "host/hostobjects/startup_hooks.h"
#include "host/mainwnd/engine_script_runner.h"

namespace vexil::hostobjects {
namespace {

std::optional<std::string> pathHook(script::Engine& engine, mainwnd::ScriptHook hook) {
  StartupHook which = hook == mainwnd::ScriptHook::GetMovie ? StartupHook::GetMovie : StartupHook::GetFlashPlayer;
  return callPathHook(engine, which);
}

void closeTrace(script::Engine& engine) {
  if (ApplicationState* state = applicationState(engine)) state->trace.close();
}

}  // namespace

void connectRunnerServices() {
  mainwnd::HostObjectServices services;
  services.pathHook = pathHook;
  services.movieLoaded = callMovieLoadedHook;
  services.cursor = scriptCursor;
  services.closeTrace = closeTrace;
  services.menuCommand = menuCommand;
  services.translateAccelerator = translateMenuAccelerator;
  mainwnd::setHostObjectServices(services);
}

}  // namespace vexil::hostobjects
