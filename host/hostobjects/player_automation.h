#pragma once
// Calls on the main window's player control through its automation interface, by member name.
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

namespace vexil::hostobjects {

// The main window's player control; null when there is none.
IDispatch* currentPlayer();
// The player control's own window; null when there is none.
HWND currentPlayerWindow();

// Invokes the named member with arguments in automation order (last first); the result, when
// asked for, is left in *result. DISP_E_MEMBERNOTFOUND without a player.
HRESULT invokePlayer(const wchar_t* name, WORD kind, VARIANT* arguments, UINT count, VARIANT* result);

// A movie variable's text; nothing when the player has no such variable (or no player).
std::optional<std::u16string> getMovieVariable(std::u16string_view name);
bool setMovieVariable(std::u16string_view name, std::u16string_view value);

}  // namespace vexil::hostobjects
