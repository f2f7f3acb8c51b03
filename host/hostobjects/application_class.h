#pragma once
// The registration step of the Application object, the Preferences object (global
// "_Preferences_") and the wake-up constants "$WULEFTBUTTON" ... "$WUHOTKEY".
namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

void registerApplication(script::Engine& engine);
// The step of the application's global functions: getMainWnd ... invoke.
void registerApplicationFunctions(script::Engine& engine);

}  // namespace vexil::hostobjects
