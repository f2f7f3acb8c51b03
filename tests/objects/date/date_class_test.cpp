// The Date class through the engine's call entries. The suite runs in a fixed zone: ctest sets TZ
// for the process (Wine passes it on to the Windows zone information) and VEXIL_TEST_ZONE_BIAS to
// the offset in minutes west of UTC that the zone should give.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "script/runtime/collector.h"
#include "objects/date/date_text.h"
#include "platform/environment.h"
#include "tests/objects/date/class_fixture.h"

namespace vexil::objects::test {
namespace {

constexpr int64_t kMinute = 60000;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDec25_1995 = 819849600000;  // midnight UTC

int64_t expectedBias() {
  const char* text = std::getenv("VEXIL_TEST_ZONE_BIAS");
  return text ? std::atoll(text) : 0;
}

int64_t nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

class DateTest : public ClassTest {
 protected:
  int64_t local() { return bias * kMinute; }  // L: local time = t - L
  int64_t time(const Value& date) { return call(date, "getTime").integer(); }
  Value date(std::initializer_list<Value> args) { return construct("Date", args); }
  Value utcDate(int64_t t) { return date({integer(t)}); }

  const int64_t bias = expectedBias();
};

TEST_F(DateTest, TheOffsetIsTheZoneInForceAtRegistration) {
  ASSERT_NE(std::getenv("VEXIL_TEST_ZONE_BIAS"), nullptr) << "run through ctest, which fixes the zone";
  EXPECT_EQ(platform::currentZoneBiasMinutes(), bias);
  EXPECT_EQ(dateLocalOffset(engine()), double(local()));
  EXPECT_EQ(call(date({}), "getTimezoneOffset").integer(), bias);
}

TEST_F(DateTest, ConstructionFromOneValue) {
  EXPECT_EQ(time(date({integer(819894600000)})), 819894600000);
  EXPECT_EQ(time(date({real(1.5e12)})), 1500000000000);
  EXPECT_EQ(time(date({real(1e16)})), 0);
  EXPECT_EQ(time(date({integer(-8640000000000001)})), 0);
  EXPECT_EQ(time(date({Value::nan()})), 0);
  EXPECT_EQ(time(date({str("Dec 25, 1995 13:30:00 GMT+0100")})), kDec25_1995 + 12 * kHour + 30 * kMinute);
  EXPECT_EQ(time(date({str("12/25/95")})), kDec25_1995 + local());
  EXPECT_EQ(time(date({str("Dec 25 99999999999")})), 0);  // parses, out of range
  for (Value unusable : {str("no date here"), Value::null(), Value::fromBoolean(true)}) {
    int64_t before = nowMs();
    int64_t t = time(date({unusable}));
    EXPECT_GE(t, before);
    EXPECT_LE(t, nowMs());
  }
}

TEST_F(DateTest, ConstructionFromComponentsIsLocalTime) {
  Value d = date({integer(1995), integer(11), integer(25), integer(13), integer(30)});
  EXPECT_EQ(time(d), kDec25_1995 + 13 * kHour + 30 * kMinute + local());
  EXPECT_EQ(call(d, "getHours").integer(), 13);
  EXPECT_EQ(call(d, "getDate").integer(), 25);
  // Numbers are floored, missing and non-numeric components take their defaults.
  Value floored = date({real(1995.9), real(11.2), real(25.7), str("13"), Value::null()});
  EXPECT_EQ(time(floored), kDec25_1995 + local());
  EXPECT_EQ(time(date({integer(1970), integer(0)})), local());
  // No two-digit year mapping: 95 is the year 95.
  EXPECT_EQ(call(date({integer(95), integer(0)}), "getFullYear").integer(), 95);
  // Outside the range: 0, read as local time.
  EXPECT_EQ(time(date({integer(300000), integer(0)})), local());
}

TEST_F(DateTest, ClassMethodsParseAndUtc) {
  Value cls = classObject("Date");
  EXPECT_EQ(call(cls, "UTC", {integer(1995), integer(11), integer(25), integer(12), integer(30)}).integer(),
            kDec25_1995 + 12 * kHour + 30 * kMinute);
  EXPECT_EQ(call(cls, "UTC").integer(), 0);
  EXPECT_EQ(call(cls, "UTC", {integer(1995), integer(11), integer(25), integer(0), integer(0), integer(1),
                              integer(500)}).integer(),
            kDec25_1995 + 1500);
  EXPECT_EQ(call(cls, "parse").integer(), 0);
  EXPECT_EQ(call(cls, "parse", {str("Dec 25 1995 GMT")}).integer(), kDec25_1995);
  EXPECT_EQ(call(cls, "parse", {integer(42)}).integer(), 42);
  int64_t before = nowMs();
  int64_t t = call(cls, "parse", {str("garbage")}).integer();
  EXPECT_GE(t, before);
  EXPECT_LE(t, nowMs());
  // The same members answer on instances too.
  EXPECT_EQ(call(date({}), "parse", {str("Dec 25 1995 GMT")}).integer(), kDec25_1995);
}

TEST_F(DateTest, GettersReadLocalAndUtcComponents) {
  // 1995-12-25 23:59:58.250 local time, a Monday.
  Value d = date({integer(1995), integer(11), integer(25), integer(23), integer(59), integer(58), integer(250)});
  const struct {
    const char* member;
    int64_t value;
  } local[] = {{"getFullYear", 1995}, {"getMonth", 11},   {"getDate", 25},         {"getDay", 1},
               {"getHours", 23},      {"getMinutes", 59}, {"getSeconds", 58},      {"getMilliseconds", 250},
               {"getYear", 95}};
  for (auto& c : local) EXPECT_EQ(call(d, c.member).integer(), c.value) << c.member;
  Value u = utcDate(kDec25_1995 - 1750);  // 1995-12-24 23:59:58.250 UTC, a Sunday
  const struct {
    const char* member;
    int64_t value;
  } utc[] = {{"getUTCFullYear", 1995}, {"getUTCMonth", 11},   {"getUTCDate", 24},    {"getUTCDay", 0},
             {"getUTCHours", 23},      {"getUTCMinutes", 59}, {"getUTCSeconds", 58}, {"getUTCMilliseconds", 250}};
  for (auto& c : utc) EXPECT_EQ(call(u, c.member).integer(), c.value) << c.member;
  EXPECT_EQ(call(d, "valueOf").integer(), time(d));
  // getYear: only the 1900s are shortened.
  EXPECT_EQ(call(date({integer(2005), integer(5), integer(15)}), "getYear").integer(), 2005);
  EXPECT_EQ(call(date({integer(1899), integer(5), integer(15)}), "getYear").integer(), 1899);
  // Before 1970 and before the common era.
  Value early = utcDate(-62135596800000 - 1);  // the last millisecond of 1 B.C.
  EXPECT_EQ(call(early, "getUTCFullYear").integer(), 0);
  EXPECT_EQ(call(early, "getUTCMonth").integer(), 11);
  EXPECT_EQ(call(early, "getUTCDate").integer(), 31);
  EXPECT_EQ(call(early, "getUTCMilliseconds").integer(), 999);
  // Fractions are cut off.
  EXPECT_EQ(time(utcDate(0)), 0);
  EXPECT_EQ(time(date({real(-1.5)})), -1);
}

TEST_F(DateTest, SettersKeepTheOtherComponents) {
  Value d = date({integer(1995), integer(11), integer(25), integer(13), integer(30), integer(15), integer(500)});
  int64_t base = time(d);
  EXPECT_EQ(call(d, "setMilliseconds", {integer(0)}).integer(), base - 500);
  EXPECT_EQ(call(d, "setSeconds", {integer(0), integer(1)}).integer(), base - 15000 - 499);
  EXPECT_EQ(call(d, "setMinutes", {real(45.9)}).integer(), base - 15000 - 499 + 15 * kMinute);
  EXPECT_EQ(call(d, "setHours", {integer(1), str("x"), integer(0), integer(0)}).integer(),
            kDec25_1995 + kHour + 45 * kMinute + local());
  EXPECT_EQ(call(d, "getMinutes").integer(), 45);  // the non-number kept the minute
  EXPECT_EQ(call(d, "setDate", {integer(32)}).integer(), kDec25_1995 + 7 * 86400000 + kHour + 45 * kMinute + local());
  EXPECT_EQ(call(d, "getMonth").integer(), 0);
  EXPECT_EQ(call(d, "getFullYear").integer(), 1996);
  call(d, "setMonth", {integer(1), integer(29)});
  EXPECT_EQ(call(d, "getDate").integer(), 29);
  call(d, "setFullYear", {integer(1997)});
  EXPECT_EQ(call(d, "getMonth").integer(), 2);  // 29 February 1997 is 1 March
  EXPECT_EQ(call(d, "getDate").integer(), 1);
  // A first argument that is not a number, or a result out of range, changes nothing.
  int64_t kept = time(d);
  EXPECT_EQ(call(d, "setFullYear", {str("2000")}).integer(), kept);
  EXPECT_EQ(call(d, "setFullYear").integer(), kept);
  EXPECT_EQ(call(d, "setFullYear", {integer(300000)}).integer(), kept);
  EXPECT_EQ(call(d, "setMinutes", {Value::nan()}).integer(), kept);
  EXPECT_EQ(call(d, "setTime", {str("5")}).integer(), kept);
  EXPECT_EQ(call(d, "setTime", {real(1e16)}).integer(), kept);
  EXPECT_EQ(call(d, "setTime", {integer(86400000)}).integer(), 86400000);
}

TEST_F(DateTest, UtcSettersWorkOnTheTimeValue) {
  Value d = utcDate(kDec25_1995);
  EXPECT_EQ(call(d, "setUTCHours", {integer(12), integer(30)}).integer(), kDec25_1995 + 12 * kHour + 30 * kMinute);
  EXPECT_EQ(call(d, "setUTCMinutes", {integer(0), integer(5), integer(7)}).integer(), kDec25_1995 + 12 * kHour + 5007);
  EXPECT_EQ(call(d, "setUTCSeconds", {integer(1)}).integer(), kDec25_1995 + 12 * kHour + 1007);
  EXPECT_EQ(call(d, "setUTCMilliseconds", {integer(0)}).integer(), kDec25_1995 + 12 * kHour + 1000);
  EXPECT_EQ(call(d, "setUTCDate", {integer(1)}).integer(), kDec25_1995 - 24 * 86400000LL + 12 * kHour + 1000);
  EXPECT_EQ(call(d, "setUTCMonth", {integer(0), integer(2)}).integer(),
            kDec25_1995 - 357 * 86400000LL + 12 * kHour + 1000);
  EXPECT_EQ(call(d, "setUTCFullYear", {integer(1970), integer(0), integer(1)}).integer(), 12 * kHour + 1000);
}

TEST_F(DateTest, SetYearMapsTwoDigitYears) {
  Value d = date({integer(2005), integer(5), integer(15)});
  call(d, "setYear", {integer(95)});
  EXPECT_EQ(call(d, "getFullYear").integer(), 1995);
  EXPECT_EQ(call(d, "getMonth").integer(), 5);
  EXPECT_EQ(call(d, "getDate").integer(), 15);
  call(d, "setYear", {real(2001.7)});
  EXPECT_EQ(call(d, "getFullYear").integer(), 2001);
  call(d, "setYear", {integer(-5)});
  EXPECT_EQ(call(d, "getFullYear").integer(), -5);
  int64_t kept = time(d);
  EXPECT_EQ(call(d, "setYear", {str("1999")}).integer(), kept);
}

TEST_F(DateTest, TextForms) {
  char zone[16];
  std::snprintf(zone, sizeof zone, "GMT%+04d", zoneNumber(double(local())));
  Value d = date({integer(1995), integer(11), integer(25), integer(13), integer(30)});
  EXPECT_EQ(text(call(d, "toString")), std::string("Mon Dec 25 13:30:00 ") + zone + " 1995");
  EXPECT_EQ(text(call(d, "toLocaleString")), text(call(d, "toString")));
  EXPECT_EQ(text(call(utcDate(kDec25_1995 + 12 * kHour + 30 * kMinute + 5000), "toGMTString")),
            "Mon, 25 Dec 1995 12:30:05 GMT");
  EXPECT_EQ(text(call(utcDate(0), "toGMTString")), "Thu, 01 Jan 1970 00:00:00 GMT");
  // Years up to 0 count back from 1 B.C.
  Value bc = utcDate(-62135596800000 - 366 * 86400000LL);  // 1 January of the year 0
  EXPECT_EQ(text(call(bc, "toGMTString")), "Sat, 01 Jan 0001 B.C. 00:00:00 GMT");
  Value localBc = date({integer(-99), integer(6), integer(4), integer(8)});
  std::string bcText = text(call(localBc, "toString"));
  EXPECT_EQ(bcText.substr(4), std::string("Jul 04 08:00:00 ") + zone + " 0100 B.C.");
  // The local text reads back to the same time.
  EXPECT_EQ(time(date({call(d, "toString")})), time(d));
  // The class object and the call form.
  EXPECT_EQ(text(call(classObject("Date"), "toString")), "[object Date]");
  EXPECT_EQ(text(call(classObject("Date"), "toLocaleString")), "[object Date]");
  std::string now = text(callGlobal("Date"));
  EXPECT_NE(now.find(zone), std::string::npos) << now;
}

TEST_F(DateTest, ZoneNumbers) {
  EXPECT_EQ(zoneNumber(-60 * kMinute), 100);
  EXPECT_EQ(zoneNumber(-120 * kMinute), 200);
  EXPECT_EQ(zoneNumber(0), 0);
  EXPECT_EQ(zoneNumber(300 * kMinute), -500);
  EXPECT_EQ(zoneNumber(-330 * kMinute), 530);
  EXPECT_EQ(zoneNumber(210 * kMinute), -330);
  EXPECT_EQ(localDateText(0, 0), "Thu Jan 01 00:00:00 GMT+000 1970");
  EXPECT_EQ(localDateText(0, 300 * kMinute), "Wed Dec 31 19:00:00 GMT-500 1969");
}

TEST_F(DateTest, ClassObjectAndForeignCalls) {
  Value cls = classObject("Date");
  auto block = script::argumentBlock({});
  // Instance members are unknown on the class object.
  script::NativeClass* c = cls.native()->cls;
  Value result;
  EXPECT_FALSE(c->invoke(engine(), c, nullptr, script::intern(engine(), "getTime"), &result, block.data()));
  EXPECT_FALSE(c->invoke(engine(), c, nullptr, script::intern(engine(), "toGMTString"), &result, block.data()));
  // No readable properties.
  EXPECT_EQ(c->property, nullptr);
  // The helpers other classes use.
  Value d = utcDate(1234);
  EXPECT_EQ(dateTimeValue(d), 1234.0);
  EXPECT_FALSE(dateTimeValue(integer(1234)));
  EXPECT_FALSE(dateTimeValue(cls));
  Value made;
  newDate(engine(), &made, 5678);
  hold(made);
  EXPECT_EQ(time(made), 5678);
  newDate(engine(), &made, 1e17);
  hold(made);
  EXPECT_EQ(time(made), 0);
  // Host code makes dates from the class the engine registered, whatever a script did to the global.
  script::globalSlot(engine(), "Date") = Value::fromInteger(1);
  script::collectGarbage(engine(), engine().sp);
  newDate(engine(), &made, 5678);
  hold(made);
  EXPECT_EQ(time(made), 5678);
  EXPECT_EQ(dateTimeValue(d), 1234.0);
}

}  // namespace
}  // namespace vexil::objects::test
