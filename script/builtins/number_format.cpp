#include "script/builtins/number_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <span>
#include <cmath>
#include <cstdint>

#include "script/runtime/number_text.h"

namespace vexil::script {

namespace {

struct Conversion {
  bool left = false, plus = false, space = false, zero = false, alternate = false;
  int width = 0;
  int precision = -1;  // -1: not given
  char type = 0;
};

bool isIntegerType(char c) { return c == 'd' || c == 'i' || c == 'u' || c == 'o' || c == 'x' || c == 'X'; }
bool isRealType(char c) { return c == 'f' || c == 'F' || c == 'e' || c == 'E' || c == 'g' || c == 'G'; }

// Digits of a width or precision; false when they pass the field limit.
bool readField(std::u16string_view p, size_t& pos, int& value) {
  value = 0;
  while (pos < p.size() && p[pos] >= u'0' && p[pos] <= u'9') {
    value = value * 10 + (p[pos++] - u'0');
    if (value > kFormatFieldLimit) return false;
  }
  return true;
}

// An optional length modifier; every accepted one means the full width of the number.
constexpr std::u16string_view kIntegerLengths[] = {u"I64", u"ll", u"l"};
constexpr std::u16string_view kRealLengths[] = {u"l", u"L"};

void readLength(std::u16string_view p, size_t& pos, bool integer) {
  std::u16string_view rest = p.substr(pos);
  std::span<const std::u16string_view> lengths = integer ? std::span<const std::u16string_view>(kIntegerLengths)
                                                         : std::span<const std::u16string_view>(kRealLengths);
  for (std::u16string_view length : lengths) {
    if (rest.substr(0, length.size()) == length) {
      pos += length.size();
      return;
    }
  }
}

// The conversion after a '%' at pos; false when it is malformed or does not fit the number.
bool readConversion(std::u16string_view p, size_t& pos, bool integer, Conversion& c) {
  for (; pos < p.size(); ++pos) {
    char16_t u = p[pos];
    if (u == u'-') c.left = true;
    else if (u == u'+') c.plus = true;
    else if (u == u' ') c.space = true;
    else if (u == u'0') c.zero = true;
    else if (u == u'#') c.alternate = true;
    else break;
  }
  if (!readField(p, pos, c.width)) return false;
  if (pos < p.size() && p[pos] == u'.') {
    ++pos;
    if (!readField(p, pos, c.precision)) return false;
  }
  readLength(p, pos, integer);
  if (pos >= p.size() || p[pos] > 0x7F) return false;
  c.type = char(p[pos++]);
  return integer ? isIntegerType(c.type) : isRealType(c.type);
}

std::string signOf(bool negative, const Conversion& c) {
  if (negative) return "-";
  if (c.plus) return "+";
  if (c.space) return " ";
  return "";
}

// Sign or prefix, then digits, padded to the width: zeros between them when asked, else spaces.
std::string pad(const std::string& head, const std::string& body, const Conversion& c, bool zeroAllowed) {
  size_t used = head.size() + body.size();
  if (used >= size_t(c.width)) return head + body;
  std::string fill(size_t(c.width) - used, ' ');
  if (c.left) return head + body + fill;
  if (c.zero && zeroAllowed) return head + std::string(fill.size(), '0') + body;
  return fill + head + body;
}

std::string formatInteger(int64_t value, const Conversion& c) {
  bool isSigned = c.type == 'd' || c.type == 'i';
  bool negative = isSigned && value < 0;
  uint64_t magnitude = negative ? 0 - uint64_t(value) : uint64_t(value);
  int radix = c.type == 'o' ? 8 : (c.type == 'x' || c.type == 'X') ? 16 : 10;
  char buffer[72];
  std::string digits(buffer, std::to_chars(buffer, buffer + sizeof buffer, magnitude, radix).ptr);
  if (c.type == 'X') {
    for (char& ch : digits) ch = char(std::toupper(static_cast<unsigned char>(ch)));
  }
  if (c.precision == 0 && magnitude == 0) digits.clear();
  if (c.precision > int(digits.size())) digits.insert(0, size_t(c.precision) - digits.size(), '0');
  std::string head = isSigned ? signOf(negative, c) : "";
  if (c.alternate && c.type == 'o' && (digits.empty() || digits[0] != '0')) digits.insert(0, "0");
  if (c.alternate && radix == 16 && magnitude != 0) head += c.type == 'X' ? "0X" : "0x";
  return pad(head, digits, c, c.precision < 0);
}

std::string fixedOrScientific(double magnitude, std::chars_format form, int precision) {
  char buffer[1024];  // 309 integer digits and a 255-digit fraction fit
  auto r = std::to_chars(buffer, buffer + sizeof buffer, magnitude, form, precision);
  return std::string(buffer, r.ptr);
}

void stripTrailingZeros(std::string& text) {
  size_t exponent = text.find('e');
  std::string tail = exponent == std::string::npos ? "" : text.substr(exponent);
  std::string body = text.substr(0, exponent);
  if (body.find('.') != std::string::npos) {
    body.erase(body.find_last_not_of('0') + 1);
    if (body.back() == '.') body.pop_back();
  }
  text = body + tail;
}

// The C rule of %g: the exponent the scientific form would have decides between the forms.
std::string generalForm(double magnitude, const Conversion& c) {
  int p = c.precision < 0 ? 6 : c.precision == 0 ? 1 : c.precision;
  std::string scientific = fixedOrScientific(magnitude, std::chars_format::scientific, p - 1);
  int x = std::atoi(scientific.c_str() + scientific.find('e') + 1);
  std::string text = scientific;
  if (p > x && x >= -4) text = fixedOrScientific(magnitude, std::chars_format::fixed, p - 1 - x);
  if (!c.alternate) stripTrailingZeros(text);
  else if (text.find('.') == std::string::npos) text.insert(std::min(text.find('e'), text.size()), ".");
  return text;
}

std::string formatReal(double value, const Conversion& c) {
  bool negative = std::signbit(value);
  double magnitude = std::fabs(value);
  if (const char* fixed = nonFiniteText(magnitude)) {
    return pad(signOf(negative && !std::isnan(value), c), fixed, c, false);
  }
  int precision = c.precision < 0 ? 6 : c.precision;
  std::string body;
  char lower = char(std::tolower(static_cast<unsigned char>(c.type)));
  if (lower == 'f') body = fixedOrScientific(magnitude, std::chars_format::fixed, precision);
  else if (lower == 'e') body = fixedOrScientific(magnitude, std::chars_format::scientific, precision);
  else body = generalForm(magnitude, c);
  if (c.alternate && lower != 'g' && body.find('.') == std::string::npos) {
    body.insert(std::min(body.find('e'), body.size()), ".");
  }
  if (c.type == 'E' || c.type == 'G') {
    for (char& ch : body) ch = ch == 'e' ? 'E' : ch;
  }
  return pad(signOf(negative, c), body, c, true);
}

}  // namespace

std::optional<std::u16string> formatNumber(std::u16string_view pattern, const Value& number) {
  if (number.tag == Tag::NaN) return std::u16string(u"NaN");
  if (number.tag != Tag::Integer && number.tag != Tag::Real) return std::nullopt;
  const bool integer = number.tag == Tag::Integer;
  std::u16string out;
  bool converted = false;
  for (size_t pos = 0; pos < pattern.size();) {
    if (out.size() > kFormatLimit) return std::nullopt;
    char16_t unit = pattern[pos++];
    if (unit != u'%') {
      out.push_back(unit);
      continue;
    }
    if (pos < pattern.size() && pattern[pos] == u'%') {
      out.push_back(u'%');
      ++pos;
      continue;
    }
    Conversion c;
    if (converted || !readConversion(pattern, pos, integer, c)) return std::nullopt;
    converted = true;
    std::string text = integer ? formatInteger(number.integer(), c) : formatReal(number.real(), c);
    out.append(text.begin(), text.end());
  }
  if (!converted || out.size() > kFormatLimit) return std::nullopt;
  return out;
}

}  // namespace vexil::script
