#pragma once
// The About page's links (window class "ORVURL"): the caption drawn in the link's own font and
// colour, and a click, Space or Return opening the link's target with the shell.
#include <windows.h>

#include <string>

namespace vexil::settings {

inline constexpr const wchar_t* kHyperlinkClass = L"ORVURL";

void registerHyperlinkClass(HINSTANCE instance);

struct HyperlinkContent {
  std::wstring caption;
  std::wstring target;
  const LOGFONTW* font = nullptr;  // none: the dialog's font
  DWORD value = 0;                 // the record's word for the link, kept with it
};

// Gives a link control its caption, target and font; the control keeps a copy.
void setHyperlink(HWND link, const HyperlinkContent& content);

}  // namespace vexil::settings
