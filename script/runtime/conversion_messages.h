#pragma once
// The texts of the conversions' runtime errors, defined once.

namespace vexil::script {

inline constexpr char kCantConvertToPrimitive[] = "Can't convert to primitive type";
inline constexpr char kCantConvertToObject[] = "Can't convert to object";

}  // namespace vexil::script
