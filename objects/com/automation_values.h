#pragma once
// The plain arithmetic of the automation bridge: automation dates against time values, the slots
// of arguments in automation's reversed argument array, which integers keep their value in 32
// bits, and the out-parameter maps of events.
#include <array>
#include <cstdint>

namespace vexil::objects::com {

// 30 December 1899 00:00 UTC, day 0 of automation dates, as a time value. No local-time
// adjustment is made either way.
inline constexpr double kAutomationEpoch = -2209161600000.0;
inline constexpr double kMillisecondsPerDay = 86400000.0;

constexpr double automationDate(double timeValue) { return (timeValue - kAutomationEpoch) / kMillisecondsPerDay; }
constexpr double timeValueOfAutomationDate(double date) { return kAutomationEpoch + date * kMillisecondsPerDay; }

// Integers travel as 32-bit integers when they fit, otherwise as doubles, so no value is cut.
constexpr bool fitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Automation passes arguments last first: declared parameter i of n sits in slot n - 1 - i.
constexpr uint32_t argumentSlot(uint32_t i, uint32_t n) { return n - 1 - i; }

// The slots of an event's output parameters (at most 16 are recorded).
class OutParameterMap {
 public:
  static constexpr uint32_t kCapacity = 16;

  void add(uint32_t slot) {
    if (count_ < kCapacity && slot < 0xFF) slots_[count_++] = uint8_t(slot);
  }
  bool contains(uint32_t slot) const {
    for (uint32_t i = 0; i < count_; ++i) {
      if (slots_[i] == slot) return true;
    }
    return false;
  }
  uint32_t count() const { return count_; }
  uint32_t slot(uint32_t i) const { return slots_[i]; }

 private:
  std::array<uint8_t, kCapacity> slots_{};
  uint32_t count_ = 0;
};

}  // namespace vexil::objects::com
