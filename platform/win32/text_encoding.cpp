#include <windows.h>

#include "platform/text_encoding.h"

namespace vexil::platform {

std::string utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::u16string ansiToUtf16(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::u16string out(size_t(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

}  // namespace vexil::platform
