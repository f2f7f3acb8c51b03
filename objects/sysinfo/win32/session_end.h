#pragma once
// Ending the logon session or the system, as the user's own request would (nothing forced).
#include <cstdint>

namespace vexil::objects {

enum class SessionEnd : uint32_t { LogOff = 0, Shutdown = 1, Reboot = 2, PowerOff = 8 };  // EWX_ values

// Enables the shutdown privilege for the process, then asks the system to end. False when the
// system refused (the privilege could not be had, or another program vetoed).
bool endSession(SessionEnd how);

}  // namespace vexil::objects
