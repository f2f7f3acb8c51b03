#pragma once
// The program's own window messages, in one table so that no two can meet. Scripts may send the
// ones a Window object answers (the hover pair) by number.
#include <windows.h>

namespace vexil::framework {

// To the main window: close once no script run is in progress (re-posted until then).
inline constexpr UINT kCloseMessage = WM_APP + 100;
// To a window hooked by a Window object: stop and restart the hover tracking of onMouseHover.
inline constexpr UINT kDisableHover = 0x8291;
inline constexpr UINT kEnableHover = 0x8292;

}  // namespace vexil::framework
