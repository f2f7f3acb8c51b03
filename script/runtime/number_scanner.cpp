#include "script/runtime/number_scanner.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vexil::script {

namespace {

// Exponent digits are read up to this size; beyond it every mantissa a text can hold (at most 2^32
// units) is zero or infinite anyway.
constexpr int64_t kExponentClamp = int64_t(1) << 40;
// Decimal magnitudes past this are infinite (above) or zero (below) as doubles.
constexpr int64_t kDecimalMagnitudeLimit = 400;

int digitValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'z') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'Z') return unit - u'A' + 10;
  return -1;
}

bool isDecimalDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

size_t skipSpace(std::u16string_view text, size_t pos) {
  while (pos < text.size() && isScriptSpace(text[pos])) ++pos;
  return pos;
}

// A sign at pos: consumed, and true when it is a minus.
bool readSign(std::u16string_view text, size_t& pos) {
  if (pos >= text.size()) return false;
  if (text[pos] == u'-') { ++pos; return true; }
  if (text[pos] == u'+') ++pos;
  return false;
}

bool startsHexPrefix(std::u16string_view text, size_t pos) {
  return pos + 1 < text.size() && text[pos] == u'0' && (text[pos + 1] == u'x' || text[pos + 1] == u'X');
}

// The bits each digit of a power-of-two radix carries; 0 for other radices.
int bitsPerDigit(int32_t radix) {
  for (int bits = 1; bits <= 5; ++bits) {
    if (radix == (1 << bits)) return bits;
  }
  return 0;
}

// The digits of a power-of-two radix as a double: the first 53 significant bits, rounded to
// nearest by the bits after them (ties to even), scaled by the count of the rest.
double powerOfTwoValue(std::u16string_view digits, int bits) {
  uint64_t top = 0;  // the first 64 significant bits
  bool sticky = false;
  int64_t count = 0;
  for (char16_t unit : digits) {
    int d = digitValue(unit);
    for (int b = bits - 1; b >= 0; --b) {
      unsigned bit = (d >> b) & 1;
      if (count == 0 && !bit) continue;
      if (count < 64) top = top << 1 | bit;
      else sticky |= bit != 0;
      ++count;
    }
  }
  if (count <= 53) return double(top);
  if (count < 64) {  // fewer than 64 significant bits: line them up at the top
    top <<= 64 - count;
  }
  uint64_t mantissa = top >> 11;
  uint64_t rest = top & 0x7FF;
  bool up = rest > 0x400 || (rest == 0x400 && (sticky || (mantissa & 1)));
  mantissa += up ? 1 : 0;
  int64_t exponent = count - 53;
  if (mantissa == uint64_t(1) << 53) {
    mantissa >>= 1;
    ++exponent;
  }
  return std::ldexp(double(mantissa), int(exponent > 4096 ? 4096 : exponent));
}

// A decimal exponent's digits, clamped so that any length of digits stays a small number.
int64_t readExponent(std::u16string_view text, size_t& pos) {
  int64_t value = 0;
  while (pos < text.size() && isDecimalDigit(text[pos])) {
    if (value < kExponentClamp) value = value * 10 + (text[pos] - u'0');
    ++pos;
  }
  return value;
}

struct DecimalParts {
  std::string digits;      // integer digits, then fraction digits
  int64_t pointAt = 0;     // how many of the digits stand before the point
  int64_t exponent = 0;
};

// The digits as a correctly rounded double. Values too large for a double give infinity and
// values too small give zero, as the C library's reader does.
double decimalValue(const DecimalParts& parts) {
  size_t first = parts.digits.find_first_not_of('0');
  if (first == std::string::npos) return 0.0;
  size_t last = parts.digits.find_last_not_of('0');
  std::string_view significant(parts.digits.data() + first, last + 1 - first);
  // value = significant digits x 10^scale; magnitude is the decimal exponent of the leading digit.
  int64_t scale = parts.exponent + (parts.pointAt - int64_t(last + 1));
  int64_t magnitude = scale + int64_t(significant.size());
  if (magnitude > kDecimalMagnitudeLimit) return std::numeric_limits<double>::infinity();
  if (magnitude < -kDecimalMagnitudeLimit) return 0.0;
  std::string text(significant);
  text += 'e';
  text += std::to_string(scale);
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}

}  // namespace

bool isScriptSpace(char16_t unit) {
  if (unit == u' ' || (unit >= 0x09 && unit <= 0x0D)) return true;
  if (unit < 0x85) return false;
  switch (unit) {
    case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F:
    case 0x3000:
      return true;
    default:
      return unit >= 0x2000 && unit <= 0x200A;
  }
}

NumberScan scanNumber(std::u16string_view text, int32_t radix) {
  size_t pos = skipSpace(text, 0);
  bool negative = readSign(text, pos);
  pos = skipSpace(text, pos);
  if (radix == 0) {
    if (startsHexPrefix(text, pos)) {
      radix = 16;
      pos += 2;
    } else {
      radix = pos < text.size() && text[pos] == u'0' ? 8 : 10;
    }
  } else if (radix == 16 && startsHexPrefix(text, pos)) {
    pos += 2;
  }

  const size_t digitsStart = pos;
  const uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max());
  uint64_t integer = 0;
  double real = 0;
  bool overflow = false;
  for (; pos < text.size(); ++pos) {
    int d = digitValue(text[pos]);
    if (d < 0 || d >= radix) break;
    // Overflow is the first step whose exact result would pass the largest 64-bit integer.
    if (!overflow && integer > (limit - uint64_t(d)) / uint64_t(radix)) overflow = true;
    if (!overflow) integer = integer * uint64_t(radix) + uint64_t(d);
    real = real * radix + d;
  }

  NumberScan scan;
  if (pos == digitsStart) return scan;
  std::u16string_view digits = text.substr(digitsStart, pos - digitsStart);
  scan.end = pos;
  if (overflow) {
    scan.code = ScanCode::Real;
    if (radix == 10) real = scanDecimalReal(digits).value;
    else if (int bits = bitsPerDigit(radix)) real = powerOfTwoValue(digits, bits);
    scan.real = negative ? -real : real;
  } else {
    scan.code = ScanCode::Integer;
    scan.integer = negative ? -int64_t(integer) : int64_t(integer);
    scan.real = negative ? -real : real;
  }
  return scan;
}

RealScan scanDecimalReal(std::u16string_view text) {
  size_t pos = skipSpace(text, 0);
  bool negative = readSign(text, pos);
  DecimalParts parts;
  while (pos < text.size() && isDecimalDigit(text[pos])) parts.digits += char(text[pos++]);
  parts.pointAt = int64_t(parts.digits.size());
  if (pos < text.size() && text[pos] == u'.') {
    ++pos;
    while (pos < text.size() && isDecimalDigit(text[pos])) parts.digits += char(text[pos++]);
  }
  if (parts.digits.empty()) return {};
  if (pos < text.size()) {
    char16_t e = text[pos];
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
      size_t at = pos + 1;
      bool negativeExponent = readSign(text, at);
      if (at < text.size() && isDecimalDigit(text[at])) {
        int64_t exponent = readExponent(text, at);
        parts.exponent = negativeExponent ? -exponent : exponent;
        pos = at;
      }
    }
  }
  double value = decimalValue(parts);
  return {negative ? -value : value, pos};
}

}  // namespace vexil::script
