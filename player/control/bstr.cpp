#include "player/control/bstr.h"

#include "platform/text_encoding.h"

namespace vexil::control {

std::string bstrToUtf8(BSTR text) {
  if (!text) return {};
  return platform::utf16ToUtf8({reinterpret_cast<const char16_t*>(text), SysStringLen(text)});
}

std::wstring utf8ToWide(std::string_view text) {
  std::u16string wide = platform::utf8ToUtf16(text);
  return {reinterpret_cast<const wchar_t*>(wide.data()), wide.size()};
}

BSTR utf8ToBstr(std::string_view text) {
  std::wstring wide = utf8ToWide(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace vexil::control
