#include "objects/files/file_times.h"

#include <cmath>

namespace vexil::objects::files {
namespace {

constexpr int64_t kTicksPerMillisecond = 10000;
// The last millisecond whose tick count still fits in 64 bits, counted from 1970.
constexpr double kLastMillisecond =
    double((UINT64_MAX / kTicksPerMillisecond) - uint64_t(kMillisecondsBefore1970));

}  // namespace

int64_t fileTimeToTimeValue(uint64_t fileTime) {
  // Signed from the start: a file time before 1970 (a FAT date of 1601) gives a negative value.
  return (int64_t(fileTime) - int64_t(kFileTimeOf1970)) / kTicksPerMillisecond;
}

std::optional<uint64_t> timeValueToFileTime(double timeValue) {
  if (!std::isfinite(timeValue)) return std::nullopt;
  double whole = std::trunc(timeValue);
  if (whole < -double(kMillisecondsBefore1970) || whole > kLastMillisecond) return std::nullopt;
  return uint64_t(int64_t(whole) + kMillisecondsBefore1970) * kTicksPerMillisecond;
}

}  // namespace vexil::objects::files
