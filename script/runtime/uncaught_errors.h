#pragma once
// Errors no script caught: a start-up script, an event handler or a timer callback that failed.
// People read them in the trace output and in the saver's error log, so the text says what failed
// and where the script stopped: "Timer callback failed: start.vxs:12: Runtime error: …".
#include <string>
#include <string_view>

#include "script/runtime/engine.h"

namespace vexil::script {

// `what` and the place the last run stopped, then the engine's message.
std::string uncaughtErrorText(const Engine& engine, std::string_view what);
// Writes uncaughtErrorText to the trace output and the failure report, each as one line.
void reportUncaught(Engine& engine, std::string_view what);
// Writes a text made elsewhere (compile diagnostics) the same way.
void reportUncaughtText(Engine& engine, std::string_view text);

}  // namespace vexil::script
