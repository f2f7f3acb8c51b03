#pragma once
// The About page: product name, version and legal notice, the web and e-mail links, a picture (a
// bitmap, or a movie in a player over the picture area) and the memory figures.
#include <windows.h>

#include <memory>

#include "host/framework/control_site.h"
#include "host/settings/settings_sheet.h"
#include "platform/win32/unique_handle.h"

namespace vexil::settings {

inline constexpr int kPictureArea = 6000;
inline constexpr int kProductName = 6003;
inline constexpr int kVersionLine = 6004;
inline constexpr int kLegalLine = 6005;
inline constexpr int kWebLink = 6010;
inline constexpr int kMailLink = 6011;
inline constexpr int kMemoryTotal = 6012;
inline constexpr int kMemoryFree = 6013;
inline constexpr UINT kAboutPlayerId = 0xFFFF;

inline constexpr const wchar_t* kNoPlayerWarning =
    L"The Macromedia Flash Player ActiveX control is not installed on this Computer.";

class AboutPage {
 public:
  explicit AboutPage(const SheetInput& input) : input_(input) {}
  static INT_PTR CALLBACK dialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  INT_PTR onMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  void show(HWND page);
  void showTexts(HWND page) const;
  void showLinks(HWND page) const;
  void showPicture(HWND page);
  bool showPlayer(HWND page, const std::string& movie);
  void showMemory(HWND page) const;

  const SheetInput& input_;
  platform::UniqueBitmap bitmap_;
  std::unique_ptr<framework::ControlSite> player_;
};

}  // namespace vexil::settings
