#pragma once
// Dialogs: the system's standard dialogs for scripts (message box, open and save, colour, font,
// folder browsing), owned by the main window when there is one. The script waits in them.
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Registration step: the "Dialogs" class.
void registerDialogs(script::Engine& engine);

}  // namespace vexil::hostobjects
