#pragma once
// The processor's clock, measured from its time-stamp counter.
#include <optional>

namespace vexil::objects {

// Megahertz: the counter's advance over a half-second sleep divided by the real elapsed time (from
// the performance counter, so a long or short sleep does not skew it), on one processor (counters
// of different processors need not agree) at the highest priority, which is restored afterwards.
// Nothing when the processor has no time-stamp counter.
std::optional<double> measureCpuSpeedMhz();

}  // namespace vexil::objects
