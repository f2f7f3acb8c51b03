// The Date script class: one time value per instance, ECMAScript's date methods over the one
// local-time offset the engine fixed at registration, and "now" for whatever cannot be understood.
#include "objects/date/date_class.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "objects/date/date_parser.h"
#include "objects/date/date_text.h"
#include "objects/date/date_time.h"
#include "platform/environment.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects {

namespace {

using script::Arguments;
using script::Engine;
using script::HostCall;
using script::Tag;
using script::Value;

constexpr char kClassName[] = "Date";

struct DateData {
  double time;
};

// The local-time offset is fixed once per engine, when the class is registered.
struct DateState {
  double localOffset = double(platform::currentZoneBiasMinutes()) * 60000.0;
};

double now() {
  using namespace std::chrono;
  return double(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double clipped(double t) { return isValidTime(t) ? t : 0; }

DateData& dateOf(HostCall& call) { return *call.instance<DateData>(); }
double offsetOf(const HostCall& call) { return call.state<DateState>()->localOffset; }

// A component argument: an integer, or a number floored; nothing for anything else.
std::optional<double> component(const Arguments& args, uint32_t i) {
  const Value* v = args.at(i);
  if (!v || !v->isNumber()) return std::nullopt;
  if (v->is(Tag::Integer)) return double(v->integer());
  return std::floor(v->is(Tag::Real) ? v->real() : NAN);
}

// The UTC time value of (year, month, day, hours, minutes, seconds, ms) arguments starting at
// `first`, with the usual defaults; 0 when outside the valid range.
double timeOfComponents(const Arguments& args, uint32_t first) {
  CalendarFields f;
  double* fields[] = {&f.year, &f.month, &f.day, &f.hours, &f.minutes, &f.seconds, &f.milliseconds};
  for (uint32_t k = 0; k < 7; ++k) {
    if (auto c = component(args, first + k)) *fields[k] = *c;
  }
  return clipped(composeTime(f));
}

// One value as a time: a number is the time itself, a string is parsed, anything else (and a
// string that does not parse) is now. Out of range gives 0.
double timeOfValue(HostCall& call, const Value& v) {
  if (v.is(Tag::Integer)) return clipped(double(v.integer()));
  if (v.is(Tag::Real)) return clipped(v.real());
  if (v.is(Tag::NaN)) return 0;
  if (v.is(Tag::String)) {
    auto parsed = parseDateText(v.string()->view(), offsetOf(call));
    return clipped(parsed ? *parsed : now());
  }
  return now();
}

void setTimeResult(Value* result, double t) { result->setInteger(int64_t(t)); }

void construct(HostCall& call) {
  const Arguments& args = call.args;
  double t;
  if (args.count() == 0) {
    t = now();
  } else if (args.count() == 1) {
    t = timeOfValue(call, *args.at(1));
  } else {
    t = timeOfComponents(args, 1) + offsetOf(call);
  }
  call.publish(std::make_unique<DateData>(DateData{t}));
}

void call(HostCall& call) {
  *call.result = script::makeStringFromAnsi(call.engine, localDateText(now(), offsetOf(call)));
}

// --- class methods

void parse(HostCall& call) {
  double t = call.args.count() == 0 ? 0 : timeOfValue(call, *call.args.at(1));
  setTimeResult(call.result, t);
}

void utc(HostCall& call) { setTimeResult(call.result, timeOfComponents(call.args, 1)); }

// --- getters

double localTime(HostCall& call) { return dateOf(call).time - offsetOf(call); }

template <double CalendarFields::*Field>
void localField(HostCall& call) {
  call.result->setInteger(int64_t(splitTime(localTime(call)).*Field));
}

template <double CalendarFields::*Field>
void utcField(HostCall& call) {
  call.result->setInteger(int64_t(splitTime(dateOf(call).time).*Field));
}

void getTime(HostCall& call) { setTimeResult(call.result, dateOf(call).time); }
void getDay(HostCall& call) { call.result->setInteger(weekDay(localTime(call))); }
void getUtcDay(HostCall& call) { call.result->setInteger(weekDay(dateOf(call).time)); }

void getYear(HostCall& call) {
  int64_t year = int64_t(splitTime(localTime(call)).year);
  call.result->setInteger(year >= 1900 && year <= 1999 ? year - 1900 : year);
}

void getTimezoneOffset(HostCall& call) {
  call.result->setInteger(int64_t(offsetOf(call) / 60000.0));
}

// --- setters

void setTime(HostCall& call) {
  DateData& date = dateOf(call);
  const Value* v = call.args.at(1);
  if (v && (v->is(Tag::Integer) || v->is(Tag::Real))) {
    double t = v->is(Tag::Integer) ? double(v->integer()) : v->real();
    if (isValidTime(t)) date.time = t;
  }
  setTimeResult(call.result, date.time);
}

// The fields a setter replaces, in argument order; the first argument is required.
using FieldList = std::initializer_list<double CalendarFields::*>;

void setFields(HostCall& call, FieldList fields, bool local) {
  DateData& date = dateOf(call);
  double offset = local ? offsetOf(call) : 0;
  if (component(call.args, 1)) {
    CalendarFields f = splitTime(date.time - offset);
    uint32_t i = 1;
    for (double CalendarFields::*field : fields) {
      if (auto c = component(call.args, i++)) f.*field = *c;
    }
    double t = composeTime(f) + offset;
    if (isValidTime(t)) date.time = t;
  }
  setTimeResult(call.result, date.time);
}

using F = CalendarFields;
constexpr FieldList kMsFields = {&F::milliseconds};
constexpr FieldList kSecondFields = {&F::seconds, &F::milliseconds};
constexpr FieldList kMinuteFields = {&F::minutes, &F::seconds, &F::milliseconds};
constexpr FieldList kHourFields = {&F::hours, &F::minutes, &F::seconds, &F::milliseconds};
constexpr FieldList kDateFields = {&F::day};
constexpr FieldList kMonthFields = {&F::month, &F::day};
constexpr FieldList kYearFields = {&F::year, &F::month, &F::day};

template <const FieldList& Fields, bool Local>
void setter(HostCall& call) {
  setFields(call, Fields, Local);
}

// Two-digit years are years of the 1900s.
void setYear(HostCall& call) {
  DateData& date = dateOf(call);
  if (auto year = component(call.args, 1)) {
    double offset = offsetOf(call);
    CalendarFields f = splitTime(date.time - offset);
    f.year = *year >= 0 && *year < 100 ? 1900 + *year : *year;
    double t = composeTime(f) + offset;
    if (isValidTime(t)) date.time = t;
  }
  setTimeResult(call.result, date.time);
}

// --- text forms

void toString(HostCall& call) {
  if (!call.self) {
    *call.result = script::objectDescription(call.engine, kClassName);
    return;
  }
  *call.result = script::makeStringFromAnsi(call.engine, localDateText(dateOf(call).time, offsetOf(call)));
}

void toGmtString(HostCall& call) {
  *call.result = script::makeStringFromAnsi(call.engine, gmtDateText(dateOf(call).time));
}

const script::HostMethodEntry kMethods[] = {
    {"parse", parse, true},
    {"UTC", utc, true},
    {"getTime", getTime},
    {"valueOf", getTime},
    {"getFullYear", localField<&F::year>},
    {"getMonth", localField<&F::month>},
    {"getDate", localField<&F::day>},
    {"getDay", getDay},
    {"getHours", localField<&F::hours>},
    {"getMinutes", localField<&F::minutes>},
    {"getSeconds", localField<&F::seconds>},
    {"getMilliseconds", localField<&F::milliseconds>},
    {"getUTCFullYear", utcField<&F::year>},
    {"getUTCMonth", utcField<&F::month>},
    {"getUTCDate", utcField<&F::day>},
    {"getUTCDay", getUtcDay},
    {"getUTCHours", utcField<&F::hours>},
    {"getUTCMinutes", utcField<&F::minutes>},
    {"getUTCSeconds", utcField<&F::seconds>},
    {"getUTCMilliseconds", utcField<&F::milliseconds>},
    {"getYear", getYear},
    {"getTimezoneOffset", getTimezoneOffset},
    {"setTime", setTime},
    {"setMilliseconds", setter<kMsFields, true>},
    {"setSeconds", setter<kSecondFields, true>},
    {"setMinutes", setter<kMinuteFields, true>},
    {"setHours", setter<kHourFields, true>},
    {"setDate", setter<kDateFields, true>},
    {"setMonth", setter<kMonthFields, true>},
    {"setFullYear", setter<kYearFields, true>},
    {"setUTCMilliseconds", setter<kMsFields, false>},
    {"setUTCSeconds", setter<kSecondFields, false>},
    {"setUTCMinutes", setter<kMinuteFields, false>},
    {"setUTCHours", setter<kHourFields, false>},
    {"setUTCDate", setter<kDateFields, false>},
    {"setUTCMonth", setter<kMonthFields, false>},
    {"setUTCFullYear", setter<kYearFields, false>},
    {"setYear", setYear},
    {"toString", toString, true},
    {"toLocaleString", toString, true},
    {"toGMTString", toGmtString},
};

const script::HostClassInfo kDateClass = {
    .name = kClassName,
    .methods = kMethods,
    .properties = {},
    .constants = {},
    .construct = construct,
    .call = call,
    .release = script::deleteInstance<DateData>,
    .state = &script::kPlainState<DateState>,
};

}  // namespace

void registerDate(Engine& engine) { script::defineHostClass(engine, kDateClass); }

double dateLocalOffset(const Engine& engine) {
  const DateState* state = script::hostState<DateState>(engine, kDateClass);
  return state ? state->localOffset : 0;
}

std::optional<double> dateTimeValue(const Value& value) {
  const DateData* date = script::instanceOf<DateData>(value, kDateClass);
  if (!date) return std::nullopt;
  return date->time;
}

void newDate(Engine& engine, Value* target, double t) {
  script::newInstance(engine, kDateClass, target, std::make_unique<DateData>(DateData{clipped(t)}));
}

}  // namespace vexil::objects
