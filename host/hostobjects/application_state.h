#pragma once
// What the Application class keeps for its engine: the three start-up hooks, the timers and the
// trace file. It is the class's per-engine state, lent to the global "Application" as its instance
// data, and goes with the engine.
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

// The engine's Application state (defined with the class); null when the engine did not register
// Application.
ApplicationState* applicationState(const script::Engine& engine);

}  // namespace vexil::hostobjects
