#pragma once
// What the compiler benchmarks share: a script made by repeating one unit of source (each "@"
// replaced by the unit's number, so names stay distinct) up to a size, and a best-of-several-runs
// measure in MB/s of that source.
#include <chrono>
#include <string>

#include "script/runtime/collector.h"
#include "script/runtime/engine.h"

namespace vexil::bench {

inline std::string generateScript(const char* unit, size_t size) {
  std::string script;
  script.reserve(size + 1024);
  for (int i = 0; script.size() < size; ++i) {
    std::string piece = unit;
    for (size_t at; (at = piece.find('@')) != std::string::npos;) piece.replace(at, 1, std::to_string(i));
    script += piece;
  }
  return script;
}

// Runs body `runs` times, collecting between runs, and answers the best rate over the script.
template <typename Body>
double bestMegabytesPerSecond(script::Engine& engine, const std::string& script, int runs, Body&& body) {
  using Clock = std::chrono::steady_clock;
  double best = 0;
  for (int run = 0; run < runs; ++run) {
    auto start = Clock::now();
    body();
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    double mbps = double(script.size()) / (1 << 20) / elapsed;
    if (mbps > best) best = mbps;
    script::collectGarbage(engine, engine.sp);
  }
  return best;
}

}  // namespace vexil::bench
