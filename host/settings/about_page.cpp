#include "host/settings/about_page.h"

#include <prsht.h>

#include <cstdio>

#include "host/mainwnd/player_identity.h"
#include "host/settings/about_texts.h"
#include "host/settings/hyperlink_control.h"
#include "host/settings/settings_help.h"
#include "platform/win32/wide_text.h"

namespace vexil::settings {
namespace {

using platform::toWide;

std::wstring wideText(const package::Text& text) { return text ? toWide(*text) : std::wstring(); }

LOGFONTW logFontOf(const package::FontItem& item) {
  LOGFONTW font{};
  font.lfHeight = item.height, font.lfWidth = item.width, font.lfEscapement = item.escapement;
  font.lfOrientation = item.orientation, font.lfWeight = item.weight;
  font.lfItalic = item.italic, font.lfUnderline = item.underline, font.lfStrikeOut = item.strikeOut;
  font.lfCharSet = item.charSet, font.lfOutPrecision = item.outPrecision;
  font.lfClipPrecision = item.clipPrecision, font.lfQuality = item.quality;
  font.lfPitchAndFamily = item.pitchAndFamily;
  std::wstring face = wideText(item.faceName).substr(0, LF_FACESIZE - 1);
  face.copy(font.lfFaceName, face.size());
  return font;
}

}  // namespace

INT_PTR CALLBACK AboutPage::dialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<AboutPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->show(page);
    return TRUE;
  }
  auto* self = reinterpret_cast<AboutPage*>(GetWindowLongPtrW(page, DWLP_USER));
  return self ? self->onMessage(page, message, wParam, lParam) : FALSE;
}

INT_PTR AboutPage::onMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // The page's own OK button confirms the sheet as its OK does.
      if (LOWORD(wParam) != IDOK) return FALSE;
      PropSheet_PressButton(GetParent(page), PSBTN_OK);
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_HELP && input_.settings->helpFile) {
        openHelpFile(*input_.settings->helpFile, GetParent(page));
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      // The player goes before its window does.
      player_.reset();
      return FALSE;
  }
  return FALSE;
}

void AboutPage::show(HWND page) {
  showTexts(page);
  showLinks(page);
  showPicture(page);
  showMemory(page);
}

void AboutPage::showTexts(HWND page) const {
  const auto& texts = input_.settings->productTexts;
  SetDlgItemTextW(page, kProductName, wideText(texts[0]).c_str());
  SetDlgItemTextW(page, kVersionLine, toWide(versionLine(texts[6].value_or(""))).c_str());
  SetDlgItemTextW(page, kLegalLine, wideText(texts[3]).c_str());
}

void AboutPage::showLinks(HWND page) const {
  const package::PackageSettings& s = *input_.settings;
  LOGFONTW fonts[2] = {logFontOf(s.linkFonts[0]), logFontOf(s.linkFonts[1])};
  setHyperlink(GetDlgItem(page, kWebLink),
               {wideText(s.links[0]), wideText(s.links[1]), fonts[0].lfFaceName[0] ? &fonts[0] : nullptr,
                s.linkValues[0]});
  setHyperlink(GetDlgItem(page, kMailLink),
               {wideText(s.links[2]), toWide(mailtoAddress(s.links[3].value_or(""))),
                fonts[1].lfFaceName[0] ? &fonts[1] : nullptr, s.linkValues[1]});
}

void AboutPage::showPicture(HWND page) {
  const package::PackageSettings& s = *input_.settings;
  std::string path =
      aboutPicturePath(s.aboutFlags, s.aboutPicture.value_or(""), input_.firstMovie, input_.packagePicture);
  if (path.empty()) return;
  if (playedByPlayer(path)) {
    if (!showPlayer(page, path)) MessageBoxW(page, kNoPlayerWarning, kSheetCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  bitmap_.reset(static_cast<HBITMAP>(
      LoadImageW(nullptr, toWide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  if (bitmap_) SendDlgItemMessageW(page, kPictureArea, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap_.get()));
}

bool AboutPage::showPlayer(HWND page, const std::string& movie) {
  HWND area = GetDlgItem(page, kPictureArea);
  RECT bounds;
  GetWindowRect(area, &bounds);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&bounds), 2);
  std::wstring playerFile = input_.playerFile ? input_.playerFile() : std::wstring();
  framework::ControlPlacement placement{page, kAboutPlayerId, bounds};
  player_ = std::make_unique<framework::ControlSite>();
  HRESULT status = E_FAIL;
  for (const CLSID* clsid : mainwnd::kPlayerClasses) {
    status = playerFile.empty() ? player_->createByClsid(*clsid, placement)
                                : player_->createFromFile(playerFile, *clsid, std::nullopt, placement);
    if (SUCCEEDED(status)) break;
  }
  if (FAILED(status)) {
    player_.reset();
    return false;
  }
  ShowWindow(area, SW_HIDE);
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(toWide(movie).c_str());
  player_->putProperty(mainwnd::kDispidMovie, value);
  VariantClear(&value);
  return true;
}

void AboutPage::showMemory(HWND page) const {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  wchar_t line[128];
  std::swprintf(line, 128, L"Physical memory available to Windows:\t%d KB", int(status.ullTotalPhys / 1024));
  SetDlgItemTextW(page, kMemoryTotal, line);
  std::swprintf(line, 128, L"Memory usage:\t\t\t\t%d%% Free", int(100 - status.dwMemoryLoad));
  SetDlgItemTextW(page, kMemoryFree, line);
}

}  // namespace vexil::settings
