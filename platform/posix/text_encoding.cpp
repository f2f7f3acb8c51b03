// Windows-1252 as the ANSI code page of the POSIX build. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// have no character in that code page; like Windows, they map to the C1 controls of equal value.
#include "platform/text_encoding.h"

namespace vexil::platform {

static const char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

static char16_t ansiToUnit(unsigned char b) {
  return b >= 0x80 && b < 0xA0 ? kHighHalf[b - 0x80] : char16_t(b);
}

static char unitToAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighHalf[i] == c) return char(0x80 + i);
  }
  return '?';
}

std::string utf16ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  // Like Windows, each code unit of a surrogate pair becomes its own '?'.
  for (char16_t c : text) out += unitToAnsi(c);
  return out;
}

std::u16string ansiToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char b : text) out += ansiToUnit(b);
  return out;
}

}  // namespace vexil::platform
