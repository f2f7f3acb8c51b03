#include "script/builtins/escape_text.h"

#include <cstring>

namespace vexil::script {

namespace {

constexpr char kUnescaped[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@*_+-./";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool keptAsIs(char16_t unit) { return unit != 0 && unit < 128 && std::strchr(kUnescaped, int(unit)); }

// The units one unit escapes to: 1, 3 ("%XX") or 6 ("%uXXXX").
size_t escapedSize(char16_t unit) { return keptAsIs(unit) ? 1 : unit < 256 ? 3 : 6; }

int hexValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  return -1;
}

// The value of count hex digits at pos, or -1 when there are not that many.
int hexAt(std::u16string_view text, size_t pos, size_t count) {
  if (pos + count > text.size()) return -1;
  int value = 0;
  for (size_t i = 0; i < count; ++i) {
    int digit = hexValue(text[pos + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

// The length is known before the text is written, so the result is sized once.
std::u16string escapeText(std::u16string_view text) {
  size_t length = 0;
  for (char16_t unit : text) length += escapedSize(unit);
  std::u16string out;
  out.reserve(length);
  for (char16_t unit : text) {
    if (keptAsIs(unit)) {
      out.push_back(unit);
    } else if (unit < 256) {
      out += {u'%', char16_t(kHexDigits[unit >> 4]), char16_t(kHexDigits[unit & 15])};
    } else {
      out += {u'%', u'u', char16_t(kHexDigits[unit >> 12]), char16_t(kHexDigits[(unit >> 8) & 15]),
              char16_t(kHexDigits[(unit >> 4) & 15]), char16_t(kHexDigits[unit & 15])};
    }
  }
  return out;
}

std::u16string unescapeText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    char16_t unit = text[pos];
    int value;
    bool wide = unit == u'%' && pos + 1 < text.size() && text[pos + 1] == u'u';
    if (wide && (value = hexAt(text, pos + 2, 4)) >= 0) {
      out.push_back(char16_t(value));
      pos += 6;
    } else if (unit == u'%' && (value = hexAt(text, pos + 1, 2)) >= 0) {
      out.push_back(char16_t(value));
      pos += 3;
    } else {
      out.push_back(unit);
      pos += 1;
    }
  }
  return out;
}

}  // namespace vexil::script
