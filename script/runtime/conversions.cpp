// Conversions to boolean, number, machine integer and object.
#include "script/runtime/conversions.h"

#include <cmath>

#include "script/runtime/conversion_messages.h"
#include "script/runtime/number_scanner.h"
#include "script/runtime/number_text.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

bool valueToBoolean(Engine&, const Value& value) {
  switch (value.tag) {
    case Tag::Boolean: return value.boolean();
    case Tag::Integer: return value.integer() != 0;
    case Tag::String: return value.string()->length != 0;
    case Tag::Real: return !(value.real() == 0);  // a NaN double is true
    case Tag::Array:
    case Tag::Object:
    case Tag::Native:
    case Tag::Function: return true;
    default: return false;
  }
}

bool isPrimitiveTag(Tag tag) {
  return (tag >= Tag::Undefined && tag <= Tag::Real) || tag == Tag::NaN;
}

// Integer digits stand unless a fraction or an exponent follows them; then the whole text is read
// as a real. Other trailing text is ignored ("12abc" is 12).
Value textToNumber(std::u16string_view text) {
  if (text.empty()) return Value::fromInteger(0);
  NumberScan scan = scanNumber(text, 0);
  switch (scan.code) {
    case ScanCode::Nothing: {
      RealScan real = scanDecimalReal(text);
      return real.end ? Value::fromReal(real.value) : Value::nan();
    }
    case ScanCode::Integer: {
      char16_t next = scan.end < text.size() ? text[scan.end] : 0;
      if (next == u'.' || next == u'D' || next == u'E' || next == u'd' || next == u'e') {
        return Value::fromReal(scanDecimalReal(text).value);
      }
      return Value::fromInteger(scan.integer);
    }
    case ScanCode::Real: break;
  }
  return Value::fromReal(scan.real);
}

void valueToNumber(Engine& engine, const Value& value, Value* result) {
  switch (value.tag) {
    case Tag::Null: result->setInteger(0); return;
    case Tag::Boolean: result->setInteger(value.boolean() ? 1 : 0); return;
    case Tag::Integer:
    case Tag::Real:
    case Tag::NaN: *result = value; return;
    case Tag::String: *result = textToNumber(value.string()->view()); return;
    case Tag::Array:
    case Tag::Object:
    case Tag::Native:
    case Tag::Function: {
      Value primitive;
      valueToPrimitive(engine, value, &primitive, PrimitiveHint::Number);
      valueToNumber(engine, primitive, result);
      return;
    }
    default: result->setNaN(); return;
  }
}

int64_t realToInt64(double value) {
  if (!std::isfinite(value)) return 0;
  constexpr double kTwo64 = 18446744073709551616.0;
  double whole = std::trunc(value);
  if (whole >= -9223372036854775808.0 && whole < 9223372036854775808.0) return int64_t(whole);
  // Beyond the 64-bit range the value wraps, as integer arithmetic does.
  double wrapped = std::fmod(whole, kTwo64);
  if (wrapped < 0) wrapped += kTwo64;
  return int64_t(uint64_t(wrapped));
}

int64_t valueToInt64(Engine& engine, const Value& value) {
  Value number;
  valueToNumber(engine, value, &number);
  switch (number.tag) {
    case Tag::Integer: return number.integer();
    case Tag::Real: return realToInt64(number.real());
    default: return 0;
  }
}

int32_t valueToInt32(Engine& engine, const Value& value) {
  return int32_t(uint32_t(uint64_t(valueToInt64(engine, value))));
}

void valueToObject(Engine& engine, const Value& value, Value* result) {
  switch (value.tag) {
    case Tag::Boolean:
    case Tag::Integer:
    case Tag::Real:
    case Tag::Array:
    case Tag::Object:
    case Tag::Native:
    case Tag::Function:
    case Tag::NaN: *result = value; return;
    case Tag::String: *result = makeString(engine, value.string()->view()); return;
    default: raiseError(engine, "%s", kCantConvertToObject);
  }
}

Value booleanText(Engine& engine, bool value) {
  return value ? makeStaticString(engine, kTrueText) : makeStaticString(engine, kFalseText);
}

std::string numberToText(const Value& number, int32_t radix) {
  switch (number.tag) {
    case Tag::Integer: return integerToText(number.integer(), radix);
    case Tag::Real: return realToText(number.real());
    default: return kNaNText;
  }
}

}  // namespace vexil::script
