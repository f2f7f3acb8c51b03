#pragma once
// The host keeps texts in the ANSI code page, as the package formats deliver them; the Win32 calls
// it makes are the wide ones. These convert at that boundary.
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace vexil::framework {

inline std::wstring toWide(std::string_view ansi) {
  std::u16string units = platform::ansiToUtf16(ansi);
  return {units.begin(), units.end()};
}

inline std::string toAnsi(std::wstring_view wide) {
  return platform::utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace vexil::framework
