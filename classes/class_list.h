#pragma once
// The one list of every class this build can register, in the engine's fixed order: the core
// built-ins and the class libraries everywhere, and on Windows the Windows classes and the host's
// own objects. It sits above the engine and every class library, so neither needs to know the
// other; the script runner, the screensaver and the tests start from it.
#include "script/runtime/class_registration.h"

namespace vexil::classes {

// Fills the steps of every class that builds on every target.
script::ClassRegistry& addPortableClasses(script::ClassRegistry& registry);
script::ClassRegistry portableClasses();

// Every class this target has: the portable ones and, on Windows, the Windows classes with the
// host's Application, Preferences, Window and application functions.
script::ClassRegistry standardClasses();

}  // namespace vexil::classes
