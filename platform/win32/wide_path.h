#pragma once
// ANSI path to the UTF-16 form the wide Win32 functions take.
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace vexil::platform {

inline std::wstring widePath(std::string_view path) {
  std::u16string u = ansiToUtf16(path);
  return std::wstring(u.begin(), u.end());
}

}  // namespace vexil::platform
