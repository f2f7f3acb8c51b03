#pragma once
// A Windows-form ANSI path in the POSIX file system's own form: backslashes become slashes and the
// ANSI text becomes UTF-8.
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace vexil::platform {

inline std::string nativePath(std::string_view path) {
  std::string out = utf16ToUtf8(ansiToUtf16(path));
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace vexil::platform
