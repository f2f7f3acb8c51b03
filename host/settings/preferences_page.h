#pragma once
// The preferences page: check boxes for the wake-up and option bits, the hot-key control and the
// owner-drawn colour button that opens the colour dialog.
#include <windows.h>

#include "host/package/package_settings.h"
#include "host/settings/preferences_state.h"

namespace vexil::settings {

inline constexpr int kHotKeyControl = 1011;
inline constexpr int kColourButton = 1166;

class PreferencesPage {
 public:
  explicit PreferencesPage(package::PackageSettings& settings) : settings_(settings) {}
  static INT_PTR CALLBACK dialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  bool confirmed() const { return confirmed_; }

 private:
  INT_PTR onMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
  void show(HWND page);
  PreferencesState read(HWND page) const;
  void drawColourButton(const DRAWITEMSTRUCT& item) const;
  void chooseColour(HWND page);
  INT_PTR onNotify(HWND page, const NMHDR& header);

  package::PackageSettings& settings_;
  uint32_t colour_ = 0xFFFFFF;
  bool confirmed_ = false;
};

}  // namespace vexil::settings
