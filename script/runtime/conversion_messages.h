#pragma once
// The texts of the conversions' runtime errors, defined once.

namespace vexil::script {

inline constexpr char kCantConvertToPrimitive[] = "Can't convert to primitive type";
inline constexpr char kCantConvertToObject[] = "Can't convert to object";

}  // namespace vexil::script

namespace vexil::script {

// What every function, and the Function class, answers to toString.
inline constexpr char16_t kFunctionDescription[] = u"[object Function]";
// The texts of the two booleans.
inline constexpr char16_t kTrueText[] = u"true";
inline constexpr char16_t kFalseText[] = u"false";

}  // namespace vexil::script
