#pragma once
// Text between scripts and the wide system calls of Shell, Shortcut and URLShortcut. Script strings
// are UTF-16 and go to the wide calls unchanged, so a name outside the ANSI code page (a Japanese
// file name, an emoji in a folder) reaches the system as the script wrote it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "script/runtime/arguments.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::shell {

// Argument i as text for a wide call; none when absent, not a string, or holding a zero unit (the
// call would end the text there and name something the script did not).
std::optional<std::wstring> wideArgument(const script::Arguments& args, uint32_t i);
// Any value converted by ToString, with the same refusal of zero units.
std::optional<std::wstring> wideText(script::Engine& engine, const script::Value& value);
script::Value wideValue(script::Engine& engine, std::wstring_view text);

// The host's main window, owner of the shell's dialogs; null in the console runner.
HWND mainWindowHandle();

// Leaves the system's message for the code in the engine's message buffer.
void keepSystemMessage(script::Engine& engine, DWORD code);

}  // namespace vexil::shell
