#pragma once
// Names MCI devices are opened under. Every later command string names the device by its alias,
// so an alias a script sets must be one plain word: letters, digits, "_", "-" and "."; a space or a
// quote in it would let the rest of the text read as more of the command.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil::hostobjects {

inline constexpr size_t kMaxMciAlias = 127;

bool isPlainMciAlias(std::string_view alias);
// The alias made for an object opened without one: "_Vexil_MCI_<n>".
std::string generatedMciAlias(uint32_t counter);

// MCI time values packed in bytes: hours/minutes/seconds, minutes/seconds/frames, and
// track/minutes/seconds/frames, the first part in the lowest byte.
inline int64_t packMciTime(int64_t a, int64_t b, int64_t c, int64_t d = 0) {
  return int64_t(uint32_t(a & 0xFF) | uint32_t(uint32_t(b) << 8) | uint32_t(uint32_t(c) << 16) |
                 uint32_t(uint32_t(d) << 24));
}
inline int64_t mciTimeByte(int64_t t, int byte) { return (uint64_t(t) >> (8 * byte)) & 0xFF; }

}  // namespace vexil::hostobjects
