#pragma once
// Conversions between UTF-16 text (the script side) and the ANSI code page (the operating system
// side). On Windows the ANSI code page is the system's; on POSIX it is Windows-1252, so that native
// tests and Windows (with an English locale) agree. Unmappable characters become '?', never a
// "best fit" look-alike, so a name can never turn into a path separator on the way out.
#include <string>
#include <string_view>

namespace vexil::platform {

std::string utf16ToAnsi(std::u16string_view text);
std::u16string ansiToUtf16(std::string_view text);

// UTF-8 forms, for the POSIX file system and for tools that print.
std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);

}  // namespace vexil::platform
