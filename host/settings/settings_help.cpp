#include "host/settings/settings_help.h"

#include "host/settings/about_texts.h"

namespace vexil::settings {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kHtmlHelpDisplayTopic = 0;
constexpr UINT kWinHelpIndex = 3;

// The HTML Help viewer is loaded on first use and stays for the rest of the process.
HtmlHelpFunction htmlHelp() {
  static HtmlHelpFunction function = [] {
    HMODULE module = LoadLibraryW(L"hhctrl.ocx");
    return module ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")))
                  : nullptr;
  }();
  return function;
}

}  // namespace

void openHelpFile(const std::string& path, HWND owner) {
  switch (helpViewerFor(path)) {
    case HelpViewer::HtmlHelp:
      if (auto function = htmlHelp()) function(owner, path.c_str(), kHtmlHelpDisplayTopic, 0);
      break;
    case HelpViewer::WinHelp:
      WinHelpA(owner, path.c_str(), kWinHelpIndex, 0);
      break;
    case HelpViewer::None:
      break;
  }
}

}  // namespace vexil::settings
