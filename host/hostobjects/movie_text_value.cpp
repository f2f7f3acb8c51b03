#include "host/hostobjects/movie_text_value.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace vexil::hostobjects {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// [sign] digits, nothing else; fits when it fits 64 bits.
bool wholeNumber(std::u16string_view text, int64_t& out) {
  size_t i = text.size() > 0 && (text[0] == u'-' || text[0] == u'+') ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t j = i; j < text.size(); ++j) {
    if (!isDigit(text[j])) return false;
  }
  std::string ascii(text.begin(), text.end());
  errno = 0;
  long long v = std::strtoll(ascii.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  out = v;
  return true;
}

// [sign] (digits [. digits] | . digits) [(e|E) [sign] digits], nothing else: no "inf", "nan", hex
// or spaces, which the C reader would take.
bool decimalNumber(std::u16string_view text, double& out) {
  size_t i = 0, n = text.size();
  if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
  size_t digits = 0;
  while (i < n && isDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == u'.') {
    ++i;
    while (i < n && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    size_t exponent = 0;
    while (i < n && isDigit(text[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  if (i != n) return false;
  std::string ascii(text.begin(), text.end());
  out = std::strtod(ascii.c_str(), nullptr);
  return true;
}

}  // namespace

MovieTextValue movieTextValue(std::u16string_view text) {
  MovieTextValue v;
  if (text == u"true" || text == u"false") {
    v.kind = MovieTextValue::Kind::Boolean;
    v.boolean = text == u"true";
  } else if (wholeNumber(text, v.integer)) {
    v.kind = MovieTextValue::Kind::Integer;
  } else if (decimalNumber(text, v.real)) {
    v.kind = MovieTextValue::Kind::Double;
  }
  return v;
}

}  // namespace vexil::hostobjects
