#pragma once
// Script time values (milliseconds since 1 January 1970 UTC) and file times (100-nanosecond ticks
// since 1 January 1601 UTC), both ways.
#include <cstdint>
#include <optional>

namespace vexil::objects::files {

// The ticks between 1601 and 1970, and the milliseconds between them.
inline constexpr uint64_t kFileTimeOf1970 = 116444736000000000ULL;
inline constexpr int64_t kMillisecondsBefore1970 = 11644473600000LL;

// The time value of a file time; times before 1970 come out negative.
int64_t fileTimeToTimeValue(uint64_t fileTime);

// The file time of a time value, its fraction dropped. Nothing for NaN, the infinities and times
// a file time cannot hold (before 1601, or past its 64 bits): such a value is refused, never
// wrapped into some other date.
std::optional<uint64_t> timeValueToFileTime(double timeValue);

}  // namespace vexil::objects::files
