#include "host/app/player_version.h"

namespace vexil::app {
namespace {

constexpr uint32_t pair(uint32_t high, uint32_t low) { return high << 16 | low; }

}  // namespace

bool isGoodPlayerVersion(FileVersion v) {
  if (v.mostSignificant != pair(7, 0)) return v.mostSignificant > pair(7, 0);
  return v.leastSignificant >= pair(32, 0);
}

bool isGoodOleAutVersion(FileVersion v) {
  uint32_t major = v.mostSignificant >> 16, minor = v.mostSignificant & 0xFFFF;
  return major > 2 || (major == 2 && minor >= 20);
}

}  // namespace vexil::app
