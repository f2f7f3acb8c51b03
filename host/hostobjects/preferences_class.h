#pragma once
// The Preferences script object: the run's settings record as scripts change it in memory
// (wake-up method, hot key, cursor hiding, CD autorun). Nothing is written to the registry.
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Publishes the object in the global "_Preferences_".
void registerPreferences(script::Engine& engine);
// The object, as Application.Preferences gives it.
script::Value preferencesObject(script::Engine& engine);

}  // namespace vexil::hostobjects
