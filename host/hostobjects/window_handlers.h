#pragma once
// Running a window's event handlers: on the hook's Window object as this, through the engine's
// protected call entry, from inside a window procedure that may itself have been reached from a
// running script. The run leaves the engine as it found it (last result, message buffer), counts
// as a script run for the main window's close, and a handler that fails (a thrown error, a stop by
// the break hook) is reported through the trace output and counts as not having answered.
#include <functional>
#include <vector>

#include "host/hostobjects/window_hooks.h"
#include "script/runtime/stack_roots.h"

namespace vexil::hostobjects {

// Builds the handler's arguments (element 0 the count); values it allocates must be held in roots.
using HandlerArguments = std::function<std::vector<script::Value>(script::Engine&, script::StackRoots& roots)>;
// Sees the handler's result while it is still rooted.
using HandlerResult = std::function<void(script::Engine&, const script::Value& result)>;

// True when the handler was installed and returned normally.
bool runHandler(WindowHook& hook, WindowEvent event, const HandlerArguments& makeArguments = {},
                const HandlerResult& readResult = {});

// The text a failed handler leaves in the trace output, before the engine's message.
inline constexpr char kHandlerFailedPrefix[] = "Window event handler failed: ";

}  // namespace vexil::hostobjects
