#pragma once
// What the benches that set a class against the plain system calls share: a clock, running a
// script text (a failing script ends the bench with its message), and timing a script loop.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/runtime/engine.h"
#include "script/vm/script_host.h"

namespace vexil::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

inline void runScript(script::ScriptHost& host, const std::string& text) {
  if (!script::runScriptText(host, text)) {
    std::fprintf(stderr, "script failed: %s\n", host.engine->message);
    std::exit(1);
  }
}

// Seconds taken by `setup` followed by a loop of `calls` rounds of `body` (the loop variable is i).
inline double scriptedSeconds(script::ScriptHost& host, const std::string& setup, const std::string& body, int calls) {
  std::string text = setup + "for (var i = 0; i < " + std::to_string(calls) + "; i++) { " + body + " }";
  auto start = Clock::now();
  runScript(host, text);
  return secondsSince(start);
}

}  // namespace vexil::bench
