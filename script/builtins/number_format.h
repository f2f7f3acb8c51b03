#pragma once
// Number.format: a printf-style pattern with exactly one conversion, applied to one number. The
// pattern is script text and so untrusted: it is parsed here and formatted here, never handed to
// the C library. A pattern with no conversion, more than one, a '*' width, a conversion that does
// not fit the number (an integer conversion for an Integer, a real one for a Real), or a result
// longer than the limit is refused.
//
//   conversion := '%' flags* width? ('.' precision?)? length? type
//   flags      := '-' | '+' | ' ' | '0' | '#'
//   Integer    := length "" "l" "ll" "I64", type d i u o x X (all 64 bits)
//   Real       := length "" "l" "L", type f F e E g G
//   "%%" writes one '%' anywhere in the pattern.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

// The longest text format writes, in units.
inline constexpr size_t kFormatLimit = 255;
// Widths and precisions above this can only overflow the limit.
inline constexpr int kFormatFieldLimit = 255;

// The formatted text, or nothing when the pattern is refused. A NaN number gives "NaN" whatever
// the pattern.
std::optional<std::u16string> formatNumber(std::u16string_view pattern, const Value& number);

}  // namespace vexil::script
