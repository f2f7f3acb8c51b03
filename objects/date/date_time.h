#pragma once
// Calendar arithmetic over time values: a time value is a double counting milliseconds since
// 1 January 1970 00:00:00 UTC, valid while its magnitude is at most 8.64e15 (about 275 000 years
// either way). The calendar is the proleptic Gregorian one of ECMAScript; components are doubles
// so that wild inputs overflow into an invalid time instead of wrapping.
#include <cstdint>

namespace vexil::objects {

inline constexpr double kMsPerDay = 86400000.0;
inline constexpr double kMaxTimeValue = 8.64e15;

// Finite and within the valid range.
bool isValidTime(double t);

// The broken-down form of a time value (month 0-based, day of month 1-based).
struct CalendarFields {
  double year = 1970;
  double month = 0;
  double day = 1;
  double hours = 0;
  double minutes = 0;
  double seconds = 0;
  double milliseconds = 0;
};

// The components of a valid time value.
CalendarFields splitTime(double t);
// The time value of components, any of which may lie outside its usual range (month 14 is March
// of the next year); not a number when they do not make a finite time.
double composeTime(const CalendarFields& fields);

// Day of the week, 0 = Sunday.
int weekDay(double t);
// Floor of t / msPerDay.
double dayNumber(double t);

}  // namespace vexil::objects
