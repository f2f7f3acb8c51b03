#pragma once
// The timers of Application.setInterval: thread timers without a window, each with its callee (a
// function, or an object and a method name) and its argument block. A timer calls back into the
// engine from the message loop; the table goes, timers killed, with the engine's Application.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Heads the trace and log line of a callback that failed; the timer goes on.
inline constexpr char kTimerFailedPrefix[] = "Timer callback failed: ";

struct TimerRecord {
  script::Value callee;          // the function, or the object whose method is called
  std::string method;            // empty: callee is called as a function
  std::vector<script::Value> args;  // argument block: the count, then the arguments
  bool running = false;          // a callback in progress; the timer skips its ticks meanwhile
};

class TimerTable {
 public:
  explicit TimerTable(script::Engine& engine) : engine_(engine) {}
  ~TimerTable() { clearAll(); }
  TimerTable(const TimerTable&) = delete;
  TimerTable& operator=(const TimerTable&) = delete;

  // Starts a repeating timer; its id, or 0 when the system gives none.
  UINT_PTR start(TimerRecord record, UINT period);
  // Stops the timer and frees its record; unknown ids are ignored.
  void clear(UINT_PTR id);
  void clearAll();
  // Marks the values the records keep in the engine heap.
  void mark() const;

 private:
  static void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD);
  void fire(UINT_PTR id);

  script::Engine& engine_;
  std::map<UINT_PTR, TimerRecord> records_;
};

}  // namespace vexil::hostobjects
