#pragma once
// The settings dialog of configure mode: the "Configurations" property sheet with the preferences
// page and the About page. OK writes the edited record back into the caller's record; Cancel
// leaves it as it was.
#include <windows.h>

#include <functional>
#include <string>

#include "host/package/package_settings.h"

namespace vexil::settings {

inline constexpr const wchar_t* kSheetCaption = L"Configurations";
inline constexpr const wchar_t* kPreferencesTitle = L"Preferences";
inline constexpr const wchar_t* kAboutTitle = L"About me";
inline constexpr int kSheetIcon = 128;
inline constexpr int kPreferencesTemplate = 133;
inline constexpr int kAboutTemplate = 3000;

struct SheetInput {
  package::PackageSettings* settings = nullptr;
  std::string firstMovie;      // the movie list's first movie, for the About picture
  std::string packagePicture;  // the package's own picture, extracted; empty when it has none
  // The player file to create the About page's player from ("" for the registered player).
  std::function<std::wstring()> playerFile;
  HWND owner = nullptr;        // the window the sheet is modal to; none: it owns itself
};

// Shows the sheet and returns once it is closed: true when the user confirmed it with OK.
bool showSettingsSheet(HINSTANCE instance, const SheetInput& input);

}  // namespace vexil::settings
