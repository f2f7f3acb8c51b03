#pragma once
// Conversions between value kinds, used by the operators, the built-in classes and every host
// method that reads arguments. Each writes a new Value into a caller-supplied result (which may be
// the input itself). Conversions that call methods may run script, and so may collect: callers
// keep their inputs reachable (on the value stack, in globals or tables) as the virtual machine
// does with its operands.
#include <cstdint>
#include <string>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

enum class PrimitiveHint { String, Number };

bool valueToBoolean(Engine& engine, const Value& value);
// Result tag Integer, Real or NaN.
void valueToNumber(Engine& engine, const Value& value, Value* result);
// Result tag String.
void valueToString(Engine& engine, const Value& value, Value* result);
// Raises "Can't convert to primitive type" for values that have no primitive form.
void valueToPrimitive(Engine& engine, const Value& value, Value* result, PrimitiveHint hint);
// Raises "Can't convert to object" for Undefined, Null, names and the other tags without one.
void valueToObject(Engine& engine, const Value& value, Value* result);
int64_t valueToInt64(Engine& engine, const Value& value);
int32_t valueToInt32(Engine& engine, const Value& value);

// The number a text stands for (the String case of valueToNumber): Integer, Real or NaN.
Value textToNumber(std::u16string_view text);

// A double truncated toward zero and wrapped to 64 bits; non-finite doubles give 0.
int64_t realToInt64(double value);

// A number value as text: an Integer in the radix (see integerToText), a Real in the "%g" form
// whatever the radix, NaN as "NaN".
std::string numberToText(const Value& number, int32_t radix = 10);

// "true" or "false" as a static string.
Value booleanText(Engine& engine, bool value);

// True for the tags a primitive conversion may end in: Undefined to Real, and NaN.
bool isPrimitiveTag(Tag tag);

}  // namespace vexil::script

namespace vexil::script {

// A computed double as a value: a double that is not a number gets the NaN tag, so that every
// not-a-number a script meets tests as one.
inline Value numberFromReal(double value) {
  return value != value ? Value::nan() : Value::fromReal(value);
}

}  // namespace vexil::script
