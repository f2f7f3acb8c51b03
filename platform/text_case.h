#pragma once
// Caseless comparison of the program's own words — player-command verbs, key and scheme names,
// resource and archive names, file extensions — where only the ASCII letters A-Z and a-z fold.
// Nothing here depends on a locale, so every machine answers the same. Text a user sees and names
// (window titles) compares in the user's locale instead: platform/win32/locale_text.h.
#include <string>
#include <string_view>

namespace vexil::platform {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);
// The text with A-Z made a-z.
std::string asciiLowered(std::string_view text);

}  // namespace vexil::platform
