#pragma once
// Text at the wide Win32 boundary. The host keeps texts in the ANSI code page, as the package
// formats deliver them, and scripts in UTF-16; the calls it makes are the wide ones, whose wchar_t
// is the same 16-bit unit as UTF-16 on Windows. Every conversion to or from wide text goes through
// these.
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace vexil::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");

// UTF-16 units seen as wide text, and back: the same units, no conversion.
inline std::wstring_view asWide(std::u16string_view units) {
  return {reinterpret_cast<const wchar_t*>(units.data()), units.size()};
}
inline std::u16string_view asUtf16(std::wstring_view wide) {
  return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}

inline std::wstring toWide(std::u16string_view units) { return std::wstring(asWide(units)); }
inline std::wstring toWide(std::string_view ansi) { return toWide(ansiToUtf16(ansi)); }
inline std::string toAnsi(std::wstring_view wide) { return utf16ToAnsi(asUtf16(wide)); }

}  // namespace vexil::platform
