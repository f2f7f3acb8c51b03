#include "script/builtins/random_generator.h"

#include <atomic>
#include <cmath>

namespace vexil::script {

namespace {

constexpr uint64_t kMultiplier = 0x5DEECE66D;
constexpr uint64_t kAddend = 0xB;
constexpr uint64_t kStateMask = (uint64_t(1) << 48) - 1;

std::atomic<uint64_t> state{0x330E};

}  // namespace

void seedRandom(uint32_t seconds) { state.store(uint64_t(seconds) << 16 | 0x330E); }

// low * 2^-48 + middle * 2^-32 + high * 2^-16 is the 48-bit state over 2^48, exactly.
double nextRandom() {
  uint64_t current = state.load();
  uint64_t next;
  do {
    next = (kMultiplier * current + kAddend) & kStateMask;
  } while (!state.compare_exchange_weak(current, next));
  return std::ldexp(double(next), -48);
}

}  // namespace vexil::script
