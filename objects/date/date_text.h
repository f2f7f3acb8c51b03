#pragma once
// The two text forms of a date: local time with Date's zone number, and GMT.
#include <string>

namespace vexil::objects {

// "Mon Dec 25 13:30:00 GMT+100 1995" for the local time t - localOffset; years up to 0 print as
// 1 - year followed by " B.C.".
std::string localDateText(double t, double localOffset);
// "Mon, 25 Dec 1995 12:30:00 GMT"; years up to 0 print as 1 - year followed by " B.C.".
std::string gmtDateText(double t);

// The zone number of the local text: hours and minutes east of UTC as one decimal number
// (+100 is one hour east, -530 five and a half hours west).
int zoneNumber(double localOffset);

}  // namespace vexil::objects
