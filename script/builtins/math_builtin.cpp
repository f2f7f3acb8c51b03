// Math: a class object with methods and read-only constants, and no constructor.
#include <cmath>
#include <ctime>
#include <optional>

#include "script/builtins/core_builtins.h"
#include "script/builtins/random_generator.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"

namespace vexil::script {

namespace {

constexpr double kTwo53 = 9007199254740992.0;
constexpr double kTwo63 = 9223372036854775808.0;

// Argument i as a double; nothing when it is missing or not a number.
std::optional<double> numberArgument(HostCall& call, uint32_t i) {
  const Value* arg = call.args.at(i);
  if (!arg) return std::nullopt;
  Value number;
  valueToNumber(call.engine, *arg, &number);
  if (number.is(Tag::Integer)) return double(number.integer());
  if (number.is(Tag::Real) && !std::isnan(number.real())) return number.real();
  return std::nullopt;
}

template <double (*F)(double)>
void unary(HostCall& call) {
  auto x = numberArgument(call, 1);
  if (x) *call.result = numberFromReal(F(*x));
  else call.result->setNaN();
}

double absolute(double x) { return std::fabs(x); }
double arcCosine(double x) { return std::acos(x); }
double arcSine(double x) { return std::asin(x); }
double arcTangent(double x) { return std::atan(x); }
double ceiling(double x) { return std::ceil(x); }
double cosine(double x) { return std::cos(x); }
double exponential(double x) { return std::exp(x); }
double flooring(double x) { return std::floor(x); }
double logarithm(double x) { return std::log(x); }
double sine(double x) { return std::sin(x); }
double squareRoot(double x) { return std::sqrt(x); }
double tangent(double x) { return std::tan(x); }

void mathAtan2(HostCall& call) {
  auto y = numberArgument(call, 1);
  auto x = numberArgument(call, 2);
  if (y && x) *call.result = numberFromReal(std::atan2(*y, *x));
  else call.result->setNaN();
}

// Two Integers whose power is a whole number below 2^53 in magnitude give that Integer; a
// fractional power (a negative exponent) stays a Real rather than being cut to an integer.
void mathPow(HostCall& call) {
  auto x = numberArgument(call, 1);
  auto y = numberArgument(call, 2);
  if (!x || !y) {
    call.result->setNaN();
    return;
  }
  double power = std::pow(*x, *y);
  bool integers = call.args.has(1, Tag::Integer) && call.args.has(2, Tag::Integer);
  bool whole = std::fabs(power) < kTwo53 && std::trunc(power) == power;
  if (integers && whole) call.result->setInteger(int64_t(power));
  else *call.result = numberFromReal(power);
}

// A NaN anywhere makes the result NaN; otherwise a strictly better value replaces the current one.
template <bool Greater>
void extreme(HostCall& call) {
  call.result->setNaN();
  if (call.args.count() == 0) return;
  double best = 0;
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    auto x = numberArgument(call, i);
    if (!x) return;
    if (i == 1 || (Greater ? *x > best : *x < best)) best = *x;
  }
  call.result->setReal(best);
}

// floor(x + 0.5) as a 64-bit Integer; infinities, and values already past the 64-bit range (which
// are whole numbers anyway), stay Real.
void mathRound(HostCall& call) {
  auto x = numberArgument(call, 1);
  if (!x) {
    call.result->setNaN();
    return;
  }
  double rounded = std::floor(*x + 0.5);
  if (rounded >= -kTwo63 && rounded < kTwo63) call.result->setInteger(int64_t(rounded));
  else call.result->setReal(*x);
}

void mathRandom(HostCall& call) { call.result->setReal(nextRandom()); }

template <const double* Constant>
void constant(HostCall& call) {
  call.result->setReal(*Constant);
}

constexpr double kE = 2.718281828459045;
constexpr double kLn10 = 2.302585092994046;
constexpr double kLn2 = 0.6931471805599453;
constexpr double kLog10E = 0.4342944819032518;
constexpr double kLog2E = 1.4426950408889634;
constexpr double kPi = 3.141592653589793;
constexpr double kSqrt1_2 = 0.7071067811865476;
constexpr double kSqrt2 = 1.4142135623730951;

const HostMethodEntry kMathMethods[] = {
    {"abs", unary<absolute>, true},     {"acos", unary<arcCosine>, true}, {"asin", unary<arcSine>, true},
    {"atan", unary<arcTangent>, true},  {"atan2", mathAtan2, true},       {"ceil", unary<ceiling>, true},
    {"cos", unary<cosine>, true},       {"exp", unary<exponential>, true}, {"floor", unary<flooring>, true},
    {"log", unary<logarithm>, true},    {"max", extreme<true>, true},     {"min", extreme<false>, true},
    {"pow", mathPow, true},             {"random", mathRandom, true},     {"round", mathRound, true},
    {"sin", unary<sine>, true},         {"sqrt", unary<squareRoot>, true}, {"tan", unary<tangent>, true},
};

// Read-only: an assignment is accepted and ignored. toString is the class's "[object Math]".
const HostPropertyEntry kMathProperties[] = {
    {"E", constant<&kE>, nullptr, true},
    {"LN10", constant<&kLn10>, nullptr, true},
    {"LN2", constant<&kLn2>, nullptr, true},
    {"LOG10E", constant<&kLog10E>, nullptr, true},
    {"LOG2E", constant<&kLog2E>, nullptr, true},
    {"PI", constant<&kPi>, nullptr, true},
    {"SQRT1_2", constant<&kSqrt1_2>, nullptr, true},
    {"SQRT2", constant<&kSqrt2>, nullptr, true},
};

const HostClassInfo kMathClass = {
    .name = "Math",
    .methods = kMathMethods,
    .properties = kMathProperties,
    .constants = {},
};

}  // namespace

void registerMath(Engine& engine) {
  seedRandom(uint32_t(std::time(nullptr)));
  defineHostClass(engine, kMathClass);
}

}  // namespace vexil::script
