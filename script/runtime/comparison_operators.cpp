// Relational and equality operators.
#include <cmath>

#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/operators.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

bool isNumeric(const Value& v) { return v.is(Tag::Integer) || v.is(Tag::Real); }

// An Integer and a Real are equal only when the double is exactly that integer.
bool integerEqualsReal(int64_t i, double d) {
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return false;
  return std::trunc(d) == d && int64_t(d) == i;
}

bool numbersEqual(const Value& a, const Value& b) {
  if (a.is(Tag::Integer) && b.is(Tag::Integer)) return a.integer() == b.integer();
  if (a.is(Tag::Integer) && b.is(Tag::Real)) return integerEqualsReal(a.integer(), b.real());
  if (a.is(Tag::Real) && b.is(Tag::Integer)) return integerEqualsReal(b.integer(), a.real());
  if (a.is(Tag::Real) && b.is(Tag::Real)) return a.real() == b.real();
  return false;  // NaN equals nothing
}

bool isLooseScalar(const Value& v) {
  switch (v.tag) {
    case Tag::String:
    case Tag::Boolean:
    case Tag::Integer:
    case Tag::Real:
    case Tag::NaN: return true;
    default: return false;
  }
}

double asDouble(const Value& number) {
  return number.is(Tag::Integer) ? double(number.integer()) : number.real();
}

// -1, 0 or 1 for ordered operands; nothing (false) when either is not a number.
bool order(Engine& engine, const Value& left, const Value& right, int* sign) {
  if (left.is(Tag::String) && right.is(Tag::String)) {
    *sign = compareStrings(*left.string(), *right.string());
    return true;
  }
  if (left.is(Tag::Integer) && right.is(Tag::Integer)) {
    *sign = left.integer() < right.integer() ? -1 : left.integer() > right.integer() ? 1 : 0;
    return true;
  }
  Value a, b;
  valueToNumber(engine, left, &a);
  valueToNumber(engine, right, &b);
  if (a.is(Tag::NaN) || b.is(Tag::NaN)) return false;
  double x = asDouble(a), y = asDouble(b);
  if (std::isnan(x) || std::isnan(y)) return false;
  *sign = x < y ? -1 : x > y ? 1 : 0;
  return true;
}

template <typename Test>
void relation(Engine& engine, const Value& left, const Value& right, Value* result, Test test) {
  int sign = 0;
  if (order(engine, left, right, &sign)) result->setBoolean(test(sign));
  else result->setUndefined();
}

}  // namespace

bool strictEquals(const Value& left, const Value& right) {
  if (left.tag != right.tag) return isNumeric(left) && isNumeric(right) && numbersEqual(left, right);
  switch (left.tag) {
    case Tag::Undefined:
    case Tag::Null: return true;
    case Tag::Boolean: return left.boolean() == right.boolean();
    case Tag::Integer:
    case Tag::Real: return numbersEqual(left, right);
    case Tag::String: return compareStrings(*left.string(), *right.string()) == 0;
    case Tag::Array:
    case Tag::Object:
    case Tag::Function: return left.pointer() == right.pointer();
    case Tag::Native:
      return left.native()->cls == right.native()->cls && left.native()->data == right.native()->data;
    case Tag::Name: return left.atom() == right.atom();
    default: return false;  // NaN, and the tags no value carries
  }
}

bool looseEquals(Engine& engine, const Value& left, const Value& right) {
  StackRoots roots(engine);
  Value* a = roots.hold(left);
  Value* b = roots.hold(right);
  for (;;) {
    if (a->tag == b->tag) return strictEquals(*a, *b);
    bool nullish = (a->is(Tag::Undefined) || a->is(Tag::Null)) && (b->is(Tag::Undefined) || b->is(Tag::Null));
    if (nullish) return true;
    if (isLooseScalar(*a) && isLooseScalar(*b)) {
      valueToNumber(engine, *a, a);
      valueToNumber(engine, *b, b);
      return numbersEqual(*a, *b);
    }
    // An object meets a scalar as its primitive, and the comparison starts again.
    if (a->is(Tag::Object) && isLooseScalar(*b)) valueToPrimitive(engine, *a, a, PrimitiveHint::Number);
    else if (b->is(Tag::Object) && isLooseScalar(*a)) valueToPrimitive(engine, *b, b, PrimitiveHint::Number);
    else return false;
  }
}

void opLess(Engine& engine, const Value& left, const Value& right, Value* result) {
  relation(engine, left, right, result, [](int sign) { return sign < 0; });
}

void opLessEqual(Engine& engine, const Value& left, const Value& right, Value* result) {
  relation(engine, left, right, result, [](int sign) { return sign <= 0; });
}

void opGreater(Engine& engine, const Value& left, const Value& right, Value* result) {
  relation(engine, left, right, result, [](int sign) { return sign > 0; });
}

void opGreaterEqual(Engine& engine, const Value& left, const Value& right, Value* result) {
  relation(engine, left, right, result, [](int sign) { return sign >= 0; });
}

void opEqual(Engine& engine, const Value& left, const Value& right, Value* result) {
  result->setBoolean(looseEquals(engine, left, right));
}

void opNotEqual(Engine& engine, const Value& left, const Value& right, Value* result) {
  result->setBoolean(!looseEquals(engine, left, right));
}

void opStrictEqual(Engine&, const Value& left, const Value& right, Value* result) {
  result->setBoolean(strictEquals(left, right));
}

void opStrictNotEqual(Engine&, const Value& left, const Value& right, Value* result) {
  result->setBoolean(!strictEquals(left, right));
}

}  // namespace vexil::script
