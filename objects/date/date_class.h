#pragma once
// The Date script class, and the calls other host classes use to hand dates to scripts and to
// read them back (automation dates, file times).
#include <optional>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration step: "Date". Fixes the engine's local-time offset from the system's zone now.
void registerDate(script::Engine& engine);

// The time value of a Date object; nothing for any other value. The class is recognised by its
// class record, so a script that rebinds the global cannot fool it.
std::optional<double> dateTimeValue(const script::Value& value);
// Sets target to a new Date holding t (0 when t is out of range); Null when the engine has no
// Date class.
void newDate(script::Engine& engine, script::Value* target, double t);
// The engine's local-time offset in milliseconds, positive west of UTC (0 before registration).
double dateLocalOffset(const script::Engine& engine);

}  // namespace vexil::objects
