#pragma once
// What the Application object keeps for its engine: the three start-up hooks, the timers and the
// trace file. It is the instance data of the global "Application" and goes with the engine (or
// with that object, should a script drop it).
#include <windows.h>

#include "host/hostobjects/timers.h"
#include "host/hostobjects/trace_file.h"
#include "script/runtime/value.h"

namespace vexil::hostobjects {

enum class StartupHook { GetMovie, GetFlashPlayer, MovieLoaded };
inline constexpr int kStartupHookCount = 3;

struct ApplicationState {
  explicit ApplicationState(script::Engine& engine);
  ~ApplicationState();
  ApplicationState(const ApplicationState&) = delete;
  ApplicationState& operator=(const ApplicationState&) = delete;

  script::Value& hook(StartupHook which) { return hooks[int(which)]; }
  // Marks what the state keeps in the engine heap.
  void mark();

  script::Engine& engine;
  script::Value hooks[kStartupHookCount];  // Undefined until a function is installed
  TimerTable timers;
  TraceFile trace;
};

// The engine's Application state; null when it has none.
ApplicationState* applicationState(const script::Engine& engine);

}  // namespace vexil::hostobjects
