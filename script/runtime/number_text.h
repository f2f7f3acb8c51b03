#pragma once
// Numbers as text. These texts are what scripts print, so they are produced here the same way on
// every platform instead of by the C library's printf, whose forms differ between systems.
#include <cstdint>
#include <string>

namespace vexil::script {

inline constexpr char kNaNText[] = "NaN";
// The texts of the non-finite doubles, fixed for every platform.
inline constexpr char kInfinityText[] = "Infinity";
inline constexpr char kNegativeInfinityText[] = "-Infinity";

// Radix 2 to 36 with lower-case letters above 9; a minus sign only in radix 10, other radices write
// the two's-complement bit pattern as unsigned. A radix outside 2..36 writes decimal.
std::string integerToText(int64_t value, int32_t radix = 10);

// The "%g" form: six significant digits, exponent form below 1e-4 and from 1e6 up, trailing zeros
// removed, at least two exponent digits ("1.23457e+06").
std::string realToText(double value);

// The fixed text of a non-finite double, or null for a finite one.
const char* nonFiniteText(double value);

}  // namespace vexil::script
