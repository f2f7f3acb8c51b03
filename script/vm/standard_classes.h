#pragma once
// The one list of every class this build can register: the core built-ins, the streams and, on
// Windows, the Windows classes. The script runner and the host application both start from it.
#include "script/runtime/class_registration.h"

namespace vexil::script {

// Fills the steps of every class that exists on this target.
ClassRegistry& addStandardClasses(ClassRegistry& registry);
ClassRegistry standardClasses();

}  // namespace vexil::script
