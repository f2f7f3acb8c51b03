// Arithmetic and bitwise operators.
#include "script/runtime/operators.h"

#include <cmath>

#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

// Integer arithmetic wraps modulo 2^64, done on unsigned words to stay defined.
int64_t wrapAdd(int64_t a, int64_t b) { return int64_t(uint64_t(a) + uint64_t(b)); }
int64_t wrapSubtract(int64_t a, int64_t b) { return int64_t(uint64_t(a) - uint64_t(b)); }
int64_t wrapMultiply(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }

bool bothIntegers(const Value& a, const Value& b) { return a.is(Tag::Integer) && b.is(Tag::Integer); }

// An operand as a number: numbers stand, anything else goes through valueToNumber.
// A Real that holds a not-a-number double counts as NaN.
Value numeric(Engine& engine, const Value& operand) {
  Value number = operand;
  if (!operand.isNumber()) valueToNumber(engine, operand, &number);
  if (number.is(Tag::Real)) return numberFromReal(number.real());
  return number;
}

double asDouble(const Value& number) {
  return number.is(Tag::Integer) ? double(number.integer()) : number.real();
}

bool isZero(const Value& number) {
  return number.is(Tag::Integer) ? number.integer() == 0 : number.real() == 0;
}

bool isInfinite(const Value& number) { return number.is(Tag::Real) && std::isinf(number.real()); }

// Both operands converted to numbers; false (with NaN written) when either is not a number.
bool numericPair(Engine& engine, const Value& left, const Value& right, Value* a, Value* b, Value* result) {
  *a = numeric(engine, left);
  *b = numeric(engine, right);
  if (a->is(Tag::NaN) || b->is(Tag::NaN)) {
    result->setNaN();
    return false;
  }
  return true;
}

// The one shape of + and -: Integers exactly, everything else as doubles.
template <typename IntegerOp, typename RealOp>
void arithmetic(Engine& engine, const Value& left, const Value& right, Value* result, IntegerOp integerOp,
                RealOp realOp) {
  if (bothIntegers(left, right)) {
    result->setInteger(integerOp(left.integer(), right.integer()));
    return;
  }
  Value a, b;
  if (!numericPair(engine, left, right, &a, &b, result)) return;
  *result = numberFromReal(realOp(asDouble(a), asDouble(b)));
}

// Strings, and Integers whose class is the standard one (its text runs no code that could collect).
bool hasPlainText(const Engine& engine, const Value& value) {
  return value.is(Tag::String) || (value.is(Tag::Integer) && hasOwnTextClass(engine, Tag::Integer));
}

void concatenate(Engine& engine, const Value& left, const Value& right, Value* result) {
  // These join without rooting: allocation alone never collects.
  if (hasPlainText(engine, left) && hasPlainText(engine, right)) {
    Value a = left, b = right;
    if (!a.is(Tag::String)) valueToString(engine, left, &a);
    if (!b.is(Tag::String)) valueToString(engine, right, &b);
    *result = concatStrings(engine, *a.string(), *b.string());
    return;
  }
  StackRoots roots(engine);
  Value* leftText = roots.hold(left);
  Value* rightText = roots.hold(right);
  valueToString(engine, *leftText, leftText);
  valueToString(engine, *rightText, rightText);
  *result = concatStrings(engine, *leftText->string(), *rightText->string());
}

template <typename Op>
void bitwise(Engine& engine, const Value& left, const Value& right, Value* result, Op op) {
  int64_t a = left.is(Tag::Integer) ? left.integer() : valueToInt64(engine, left);
  int64_t b = right.is(Tag::Integer) ? right.integer() : valueToInt64(engine, right);
  result->setInteger(op(uint64_t(a), uint64_t(b)));
}

// The shift count is the low byte of the right operand's 32-bit value.
template <typename Op>
void shift(Engine& engine, const Value& left, const Value& right, Value* result, Op op) {
  int64_t value = left.is(Tag::Integer) ? left.integer() : valueToInt64(engine, left);
  uint32_t word = right.is(Tag::Integer) ? right.lowWord() : uint32_t(valueToInt32(engine, right));
  result->setInteger(op(value, unsigned(word & 0xFF)));
}

}  // namespace

void opAdd(Engine& engine, const Value& left, const Value& right, Value* result) {
  if (left.is(Tag::String) || right.is(Tag::String)) {
    concatenate(engine, left, right, result);
    return;
  }
  arithmetic(engine, left, right, result, wrapAdd, [](double a, double b) { return a + b; });
}

void opSubtract(Engine& engine, const Value& left, const Value& right, Value* result) {
  arithmetic(engine, left, right, result, wrapSubtract, [](double a, double b) { return a - b; });
}

void opMultiply(Engine& engine, const Value& left, const Value& right, Value* result) {
  if (bothIntegers(left, right)) {
    result->setInteger(wrapMultiply(left.integer(), right.integer()));
    return;
  }
  Value a, b;
  if (!numericPair(engine, left, right, &a, &b, result)) return;
  // Infinity times zero has no value, whichever side the zero is on.
  if ((isInfinite(a) && isZero(b)) || (isZero(a) && isInfinite(b))) {
    result->setNaN();
    return;
  }
  *result = numberFromReal(asDouble(a) * asDouble(b));
}

// Division always leaves the integers: 6 / 3 is the real 2.
void opDivide(Engine& engine, const Value& left, const Value& right, Value* result) {
  Value a, b;
  if (!numericPair(engine, left, right, &a, &b, result)) return;
  double x = asDouble(a), y = asDouble(b);
  if ((std::isinf(x) && std::isinf(y)) || (x == 0 && y == 0)) {
    result->setNaN();
  } else if (std::isinf(x) && y == 0) {
    result->setReal(x);
  } else {
    *result = numberFromReal(x / y);
  }
}

void opModulo(Engine& engine, const Value& left, const Value& right, Value* result) {
  if (bothIntegers(left, right)) {
    int64_t x = left.integer(), y = right.integer();
    if (y == 0) result->setNaN();
    else if (y == -1) result->setInteger(0);  // also for the smallest integer, which cannot divide
    else result->setInteger(x % y);
    return;
  }
  Value a, b;
  if (!numericPair(engine, left, right, &a, &b, result)) return;
  if (isInfinite(a) || isZero(b)) {
    result->setNaN();
  } else if (isInfinite(b) || isZero(a)) {
    *result = a;
  } else {
    *result = numberFromReal(std::fmod(asDouble(a), asDouble(b)));
  }
}

void opNegate(Engine& engine, const Value& operand, Value* result) {
  Value number = numeric(engine, operand);
  switch (number.tag) {
    case Tag::Integer: result->setInteger(wrapSubtract(0, number.integer())); return;
    case Tag::Real: result->setReal(-number.real()); return;
    default: result->setNaN(); return;
  }
}

void opNot(Engine& engine, const Value& operand, Value* result) {
  result->setBoolean(!valueToBoolean(engine, operand));
}

void opBitAnd(Engine& engine, const Value& left, const Value& right, Value* result) {
  bitwise(engine, left, right, result, [](uint64_t a, uint64_t b) { return int64_t(a & b); });
}

void opBitOr(Engine& engine, const Value& left, const Value& right, Value* result) {
  bitwise(engine, left, right, result, [](uint64_t a, uint64_t b) { return int64_t(a | b); });
}

void opBitXor(Engine& engine, const Value& left, const Value& right, Value* result) {
  bitwise(engine, left, right, result, [](uint64_t a, uint64_t b) { return int64_t(a ^ b); });
}

void opShiftLeft(Engine& engine, const Value& left, const Value& right, Value* result) {
  shift(engine, left, right, result,
        [](int64_t v, unsigned n) { return n >= 64 ? 0 : int64_t(uint64_t(v) << n); });
}

void opShiftRight(Engine& engine, const Value& left, const Value& right, Value* result) {
  shift(engine, left, right, result,
        [](int64_t v, unsigned n) { return n >= 64 ? (v < 0 ? -1 : 0) : v >> n; });
}

void opShiftRightUnsigned(Engine& engine, const Value& left, const Value& right, Value* result) {
  shift(engine, left, right, result,
        [](int64_t v, unsigned n) { return n >= 64 ? 0 : int64_t(uint64_t(v) >> n); });
}

}  // namespace vexil::script
