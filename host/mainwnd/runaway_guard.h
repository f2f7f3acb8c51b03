#pragma once
// Stops a script that keeps the screensaver from waking: when the user's input has waited in the
// queue for a while and nobody takes it (the script neither returns nor pumps messages), the
// machine's next break check ends the run with "hook break 1". A script that pumps messages or
// returns in time is never touched.
#include <windows.h>

#include <functional>

namespace vexil::mainwnd {

class RunawayGuard {
 public:
  // Whether input is waiting in the queue; the tests pass their own.
  using InputProbe = std::function<bool()>;
  static constexpr DWORD kPatienceMs = 2000;

  explicit RunawayGuard(InputProbe probe = {});

  // The engine's break hook: data is the guard.
  static int check(int code, void* data);

 private:
  int check();

  InputProbe probe_;
  bool waiting_ = false;
  DWORD waitingSince_ = 0;
};

}  // namespace vexil::mainwnd
