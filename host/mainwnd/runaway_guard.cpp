#include "host/mainwnd/runaway_guard.h"

namespace vexil::mainwnd {
namespace {

bool inputWaiting() { return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON)) != 0; }

}  // namespace

RunawayGuard::RunawayGuard(InputProbe probe) : probe_(probe ? std::move(probe) : InputProbe(inputWaiting)) {}

int RunawayGuard::check(int, void* data) { return static_cast<RunawayGuard*>(data)->check(); }

int RunawayGuard::check() {
  if (!probe_()) {
    waiting_ = false;
    return 0;
  }
  DWORD now = GetTickCount();
  if (!waiting_) {
    waiting_ = true;
    waitingSince_ = now;
    return 0;
  }
  if (now - waitingSince_ < kPatienceMs) return 0;
  waiting_ = false;
  return 1;
}

}  // namespace vexil::mainwnd
