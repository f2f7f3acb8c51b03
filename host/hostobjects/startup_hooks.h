#pragma once
// Calling the start-up hooks a script installed on Application, with no this-object:
// onGetMovie and onGetFlashPlayer get a new empty object and answer a path by returning a true
// value and leaving a string in the object's "value"; onMovieLoaded gets the movie's path and its
// result is ignored. A hook that fails (throws, runs out of memory) answers nothing.
#include <optional>
#include <string>

#include "host/hostobjects/application_state.h"

namespace vexil::hostobjects {

// Heads the trace and log line of a start-up hook that failed; the start-up goes on without it.
inline constexpr char kHookFailedPrefix[] = "Start-up hook failed: ";

// The path a hook yields; nothing when it is not installed or yields none.
std::optional<std::string> callPathHook(script::Engine& engine, StartupHook hook);
void callMovieLoadedHook(script::Engine& engine, const std::string& moviePath);

}  // namespace vexil::hostobjects
