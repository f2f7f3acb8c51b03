#include "player/control/bstr.h"

#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace vexil::control {

std::string bstrToUtf8(BSTR text) {
  if (!text) return {};
  return platform::utf16ToUtf8(platform::asUtf16({text, SysStringLen(text)}));
}

std::wstring utf8ToWide(std::string_view text) {
  return platform::toWide(platform::utf8ToUtf16(text));
}

BSTR utf8ToBstr(std::string_view text) {
  std::wstring wide = utf8ToWide(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace vexil::control
