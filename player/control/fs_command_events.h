#pragma once
// The control's one event: FSCommand(command, argument), fired to every sink connected to its
// event connection point.
#include <string_view>

#include "platform/win32/connection_point.h"

namespace vexil::control {

// Calls FSCommand on every connected sink, in connection order; sinks may disconnect (or connect)
// while being called.
void fireFsCommand(const platform::ConnectionPoint& events, std::string_view command, std::string_view argument);

}  // namespace vexil::control
