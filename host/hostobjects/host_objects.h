#pragma once
// The host's script classes at their steps of the registration list: Application and Preferences
// with the wake-up constants, the application's global functions, and Window.
#include "script/runtime/class_registration.h"

namespace vexil::hostobjects {

script::ClassRegistry& addHostObjects(script::ClassRegistry& registry);

}  // namespace vexil::hostobjects
