#pragma once
// The user's screensaver selection: "SCRNSAVE.EXE" of the user's "Control Panel\Desktop" key on
// NT-family systems, the same entry of SYSTEM.INI's [boot] section on the Windows 9x family.
#include <optional>
#include <string>

namespace vexil::objects {

// The selected screensaver's path; nothing when none is selected.
std::optional<std::wstring> selectedScreensaver();
// Stores the path's short (8.3) form and tells running programs the setting changed. False (and
// nothing stored) when the path has no short form (it does not exist).
bool selectScreensaver(const std::wstring& path);

}  // namespace vexil::objects
