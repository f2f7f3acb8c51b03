#include "objects/date/date_time.h"

#include <cmath>

namespace vexil::objects {

namespace {

constexpr double kMsPerHour = 3600000.0;
constexpr double kMsPerMinute = 60000.0;
constexpr double kMsPerSecond = 1000.0;

// Days before each month, in common and in leap years.
constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// The remainder of a / b taking the sign of b.
double positiveRemainder(double a, double b) {
  double r = std::fmod(a, b);
  return r < 0 ? r + b : r;
}

bool isLeapYear(double year) {
  return std::fmod(year, 4) == 0 && (std::fmod(year, 100) != 0 || std::fmod(year, 400) == 0);
}

double dayFromYear(double year) {
  return 365 * (year - 1970) + std::floor((year - 1969) / 4) - std::floor((year - 1901) / 100) +
         std::floor((year - 1601) / 400);
}

double timeFromYear(double year) { return kMsPerDay * dayFromYear(year); }

// Estimated from the mean year length, then corrected by one against the start of that year.
double yearFromTime(double t) {
  double year = 1970 + std::floor(t / (kMsPerDay * 365.2425));
  if (timeFromYear(year) > t) return year - 1;
  if (timeFromYear(year + 1) <= t) return year + 1;
  return year;
}

double makeDay(double year, double month, double date) {
  if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
  double wholeYear = year + std::floor(month / 12);
  int inYear = int(positiveRemainder(month, 12));
  if (!std::isfinite(wholeYear)) return NAN;
  return dayFromYear(wholeYear) + kDaysBeforeMonth[isLeapYear(wholeYear)][inYear] + date - 1;
}

double makeTime(double hours, double minutes, double seconds, double ms) {
  return hours * kMsPerHour + minutes * kMsPerMinute + seconds * kMsPerSecond + ms;
}

}  // namespace

bool isValidTime(double t) { return std::isfinite(t) && std::fabs(t) <= kMaxTimeValue; }

double dayNumber(double t) { return std::floor(t / kMsPerDay); }

int weekDay(double t) { return int(positiveRemainder(dayNumber(t) + 4, 7)); }

CalendarFields splitTime(double t) {
  CalendarFields f;
  f.year = yearFromTime(t);
  int dayInYear = int(dayNumber(t) - dayFromYear(f.year));
  const int* before = kDaysBeforeMonth[isLeapYear(f.year)];
  int month = 0;
  while (month < 11 && dayInYear >= before[month + 1]) ++month;
  f.month = month;
  f.day = dayInYear - before[month] + 1;
  double inDay = positiveRemainder(t, kMsPerDay);
  f.hours = std::floor(inDay / kMsPerHour);
  f.minutes = positiveRemainder(std::floor(inDay / kMsPerMinute), 60);
  f.seconds = positiveRemainder(std::floor(inDay / kMsPerSecond), 60);
  f.milliseconds = positiveRemainder(inDay, kMsPerSecond);
  return f;
}

double composeTime(const CalendarFields& f) {
  double day = makeDay(f.year, f.month, f.day);
  double time = makeTime(f.hours, f.minutes, f.seconds, f.milliseconds);
  double t = day * kMsPerDay + time;
  return std::isfinite(t) ? t : NAN;
}

}  // namespace vexil::objects
