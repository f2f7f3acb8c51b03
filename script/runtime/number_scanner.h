#pragma once
// Reading numbers from script text. Two readers:
//
// scanNumber is the runtime's own integer scanner (parseInt and string-to-number use it): white
// space, a sign, a radix prefix, then digits into an exact 64-bit integer, with a real fallback
// when the value no longer fits.
//
// scanDecimalReal is the decimal real reader behind string-to-number. It accepts what the Windows
// C library's wide-string-to-double accepts (white space, a sign, digits with an optional point, an
// exponent introduced by e, E, d or D) and rounds correctly, the same on every platform: no
// "inf", "nan" or hexadecimal floats, and no locale.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexil::script {

enum class ScanCode {
  Nothing = 0,  // no digit
  Integer = 1,  // the integer result holds the value
  Real = 2,     // the value overflowed 64 bits; the real result holds it
};

struct NumberScan {
  ScanCode code = ScanCode::Nothing;
  int64_t integer = 0;
  double real = 0;
  size_t end = 0;  // the first unit not scanned (0 when nothing was scanned)
};

// White space as the number readers skip it: the ASCII controls 9-13, space, and the Unicode
// space separators, line and paragraph separators.
bool isScriptSpace(char16_t unit);

// radix 0: 10, or 8 after a leading "0", or 16 after a leading "0x"/"0X" (which is skipped).
// Radix 16 also skips "0x". Any other radix is taken as given: a digit counts while its value is
// below the radix.
NumberScan scanNumber(std::u16string_view text, int32_t radix);

struct RealScan {
  double value = 0;
  size_t end = 0;  // units consumed; 0 when the text holds no number
};
RealScan scanDecimalReal(std::u16string_view text);

}  // namespace vexil::script
