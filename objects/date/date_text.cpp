#include "objects/date/date_text.h"

#include <cmath>
#include <cstdio>

#include "objects/date/date_time.h"

namespace vexil::objects {

namespace {

constexpr const char* kWeekDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr char kBeforeChrist[] = " B.C.";

constexpr char kLocalFormat[] = "%s %s %02d %02d:%02d:%02d GMT%+04d %s%s%04d";
constexpr char kGmtFormat[] = "%s, %02d %s %04d%s %02d:%02d:%02d GMT";

}  // namespace

int zoneNumber(double localOffset) {
  int64_t minutes = int64_t(std::floor(localOffset / 60000.0));
  return int(-(minutes % 60) - (minutes / 60) * 100);
}

std::string localDateText(double t, double localOffset) {
  double local = t - localOffset;
  CalendarFields f = splitTime(local);
  int year = int(f.year);
  bool beforeChrist = year <= 0;
  char text[128];
  std::snprintf(text, sizeof text, kLocalFormat, kWeekDayNames[weekDay(local)], kMonthNames[int(f.month)],
                int(f.day), int(f.hours), int(f.minutes), int(f.seconds), zoneNumber(localOffset), "", "",
                beforeChrist ? 1 - year : year);
  std::string result = text;
  if (beforeChrist) result += kBeforeChrist;
  return result;
}

std::string gmtDateText(double t) {
  CalendarFields f = splitTime(t);
  int year = int(f.year);
  bool beforeChrist = year <= 0;
  char text[128];
  std::snprintf(text, sizeof text, kGmtFormat, kWeekDayNames[weekDay(t)], int(f.day), kMonthNames[int(f.month)],
                beforeChrist ? 1 - year : year, beforeChrist ? kBeforeChrist : "", int(f.hours), int(f.minutes),
                int(f.seconds));
  return text;
}

}  // namespace vexil::objects
