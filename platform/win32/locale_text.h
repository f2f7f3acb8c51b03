#pragma once
// Caseless comparison in the user's locale, for text a person names: a window's title as a script
// passes it. The program's own words compare by ASCII instead (platform/text_case.h).
#include <windows.h>

#include <string_view>

namespace vexil::platform {

inline bool equalsIgnoringCaseInUserLocale(std::wstring_view a, std::wstring_view b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), int(a.size()), b.data(), int(b.size())) ==
         CSTR_EQUAL;
}

}  // namespace vexil::platform
