#pragma once
// Values as one line of text, for tables of expected results: "Integer 12", "Real 1000",
// "Real -inf", "NaN", "String \"12\"", "Boolean true", "Undefined". Reals use the shortest text
// that reads back exactly, so a table pins every bit.
#include <charconv>
#include <cmath>
#include <string>

#include "platform/text_encoding.h"
#include "script/runtime/script_string.h"
#include "script/runtime/value.h"

namespace vexil::script::test {

inline std::string shortestReal(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  char buffer[40];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, d);
  return std::string(buffer, r.ptr);
}

inline std::string describe(const Value& v) {
  switch (v.tag) {
    case Tag::Undefined: return "Undefined";
    case Tag::Null: return "Null";
    case Tag::Boolean: return v.boolean() ? "Boolean true" : "Boolean false";
    case Tag::Integer: return "Integer " + std::to_string(v.integer());
    case Tag::Real: return "Real " + shortestReal(v.real());
    case Tag::NaN: return "NaN";
    case Tag::String: return "String \"" + platform::utf16ToUtf8(v.string()->view()) + "\"";
    case Tag::Array: return "Array";
    case Tag::Object: return "Object";
    case Tag::Native: return "Native";
    case Tag::Function: return "Function";
    default: return "Tag " + std::to_string(int(v.tag));
  }
}

}  // namespace vexil::script::test
