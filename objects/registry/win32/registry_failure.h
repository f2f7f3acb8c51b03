#pragma once
// A failed registry call leaves the system's text for its code in the engine's message buffer.
#include <windows.h>

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::registry {

void noteRegistryFailure(script::Engine& engine, LONG code);

}  // namespace vexil::objects::registry
