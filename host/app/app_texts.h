#pragma once
// The application's own texts and names, defined once.
namespace vexil::app {

inline constexpr const char* kOleAutTooOld =
    "The OleAut32.dll in your system is too old to run this application. Do you want to update it?\r\n\r\n"
    "If you decide to update the dll, be sure to close any other running applications.";
inline constexpr const char* kOleAutUpdateFailed = "Failed to update the OleAut32.dll!";

inline constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
inline constexpr const wchar_t* kScreensaverValue = L"SCRNSAVE.EXE";
inline constexpr const wchar_t* kExplorerPoliciesKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const wchar_t* kAutoRunValue = L"NoDriveTypeAutoRun";

inline constexpr int kAcceleratorTableId = 128;

}  // namespace vexil::app
