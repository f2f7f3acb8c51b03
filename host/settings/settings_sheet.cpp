#include "host/settings/settings_sheet.h"

#include <prsht.h>

#include "host/settings/about_page.h"
#include "host/settings/preferences_page.h"

namespace vexil::settings {
namespace {

PROPSHEETPAGEW pageOf(HINSTANCE instance, int templateId, const wchar_t* title, DLGPROC procedure, void* page,
                      bool help) {
  PROPSHEETPAGEW sheetPage{};
  sheetPage.dwSize = sizeof sheetPage;
  sheetPage.dwFlags = PSP_USETITLE | (help ? PSP_HASHELP : 0);
  sheetPage.hInstance = instance;
  sheetPage.pszTemplate = MAKEINTRESOURCEW(templateId);
  sheetPage.pszTitle = title;
  sheetPage.pfnDlgProc = procedure;
  sheetPage.lParam = reinterpret_cast<LPARAM>(page);
  return sheetPage;
}

}  // namespace

bool showSettingsSheet(HINSTANCE instance, const SheetInput& input) {
  // The pages edit a copy: Cancel, or a sheet that fails to open, leaves the caller's record alone.
  package::PackageSettings edited = *input.settings;
  SheetInput pageInput = input;
  pageInput.settings = &edited;
  PreferencesPage preferences(edited);
  AboutPage about(pageInput);

  bool help = input.settings->helpFileOption != 0;
  PROPSHEETPAGEW pages[2] = {
      pageOf(instance, kPreferencesTemplate, kPreferencesTitle, PreferencesPage::dialogProc, &preferences, help),
      pageOf(instance, kAboutTemplate, kAboutTitle, AboutPage::dialogProc, &about, help),
  };
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | (help ? PSH_HASHELP : 0);
  header.hwndParent = input.owner;
  header.hInstance = instance;
  header.pszIcon = MAKEINTRESOURCEW(kSheetIcon);
  header.pszCaption = kSheetCaption;
  header.nPages = 2;
  header.nStartPage = 0;
  header.ppsp = pages;
  // The sheet disables its owner itself; the owner may belong to another process (the Display
  // control panel), so it is enabled again here whatever happened.
  PropertySheetW(&header);
  if (input.owner && IsWindow(input.owner)) EnableWindow(input.owner, TRUE);
  if (!preferences.confirmed()) return false;
  *input.settings = edited;
  return true;
}

}  // namespace vexil::settings
