#pragma once
// The sheet's Help button: the record's help file opened by the viewer its extension names.
#include <windows.h>

#include <string>

namespace vexil::settings {

void openHelpFile(const std::string& path, HWND owner);

}  // namespace vexil::settings
