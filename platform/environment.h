#pragma once
// Process environment: variables, the system's own directories, GUIDs and the local-time offset.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::platform {

std::optional<std::string> environmentVariable(std::string_view name);  // ANSI
// Sets a variable of this process, or removes it when value is empty (nullopt).
void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value);
// The Windows directory ("C:\Windows"); "/tmp" on POSIX, where no such directory exists.
std::string windowsDirectory();
// A fresh GUID in registry form with braces, upper-case hex: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string newGuidText();
// Minutes to add to UTC to get local standard time, as the system reports it now.
int32_t localTimeOffsetMinutes();
// Minutes west of UTC in effect now, daylight saving included when the system reports it in force
// (local time = UTC - bias); 0 when the system cannot say.
int32_t currentZoneBiasMinutes();

}  // namespace vexil::platform
