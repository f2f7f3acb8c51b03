#include "host/settings/preferences_page.h"

#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include "host/settings/settings_help.h"
#include "platform/win32/wide_text.h"

namespace vexil::settings {

INT_PTR CALLBACK PreferencesPage::dialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<PreferencesPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->show(page);
    return TRUE;
  }
  auto* self = reinterpret_cast<PreferencesPage*>(GetWindowLongPtrW(page, DWLP_USER));
  return self ? self->onMessage(page, message, wParam, lParam) : FALSE;
}

INT_PTR PreferencesPage::onMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM:
      if (wParam != kColourButton) return FALSE;
      drawColourButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kColourButton && HIWORD(wParam) == BN_CLICKED) chooseColour(page);
      return FALSE;
    case WM_NOTIFY:
      return onNotify(page, *reinterpret_cast<NMHDR*>(lParam));
  }
  return FALSE;
}

void PreferencesPage::show(HWND page) {
  PreferencesState state = stateFromSettings(settings_);
  for (size_t i = 0; i < kCheckBoxes.size(); ++i) {
    CheckDlgButton(page, kCheckBoxes[i].id, state.checked[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  SendDlgItemMessageW(page, kHotKeyControl, HKM_SETHOTKEY, state.hotKey, 0);
  // A record without its own colour starts the choice from white, as the button's first text says.
  colour_ = state.checked[kBackgroundBox] ? state.colour : 0xFFFFFF;
  SetDlgItemTextW(page, kColourButton, platform::toWide(colourText(colour_)).c_str());
}

PreferencesState PreferencesPage::read(HWND page) const {
  PreferencesState state;
  for (size_t i = 0; i < kCheckBoxes.size(); ++i) {
    state.checked[i] = IsDlgButtonChecked(page, kCheckBoxes[i].id) == BST_CHECKED;
  }
  state.hotKey = LOWORD(SendDlgItemMessageW(page, kHotKeyControl, HKM_GETHOTKEY, 0, 0));
  state.colour = colour_;
  return state;
}

void PreferencesPage::drawColourButton(const DRAWITEMSTRUCT& item) const {
  HBRUSH fill = CreateSolidBrush(colour_);
  FillRect(item.hDC, &item.rcItem, fill);
  DeleteObject(fill);
  RECT frame = item.rcItem;
  DrawEdge(item.hDC, &frame, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  std::wstring text = platform::toWide(colourText(colour_));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, contrastingColour(colour_));
  RECT area = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&area, -3, -3);
    DrawFocusRect(item.hDC, &area);
  }
}

void PreferencesPage::chooseColour(HWND page) {
  static COLORREF customColours[16] = {};
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = GetParent(page);
  choice.rgbResult = colour_;
  choice.lpCustColors = customColours;
  choice.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choice)) return;
  colour_ = choice.rgbResult & 0xFFFFFF;
  SetDlgItemTextW(page, kColourButton, platform::toWide(colourText(colour_)).c_str());
  InvalidateRect(GetDlgItem(page, kColourButton), nullptr, TRUE);
}

INT_PTR PreferencesPage::onNotify(HWND page, const NMHDR& header) {
  switch (header.code) {
    case PSN_APPLY:
      applyState(read(page), settings_);
      confirmed_ = true;
      SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    case PSN_HELP:
      if (settings_.helpFile) openHelpFile(*settings_.helpFile, GetParent(page));
      return TRUE;
  }
  return FALSE;
}

}  // namespace vexil::settings
