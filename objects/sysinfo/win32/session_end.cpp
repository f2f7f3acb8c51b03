#include "objects/sysinfo/win32/session_end.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace vexil::objects {
namespace {

// A plain user may log off without the privilege; the other three need it, so a failure here is
// not final: the system has the last word.
void enableShutdownPrivilege() {
  platform::UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return;
  AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

bool endSession(SessionEnd how) {
  enableShutdownPrivilege();
  return ExitWindowsEx(UINT(how), SHTDN_REASON_FLAG_PLANNED) != 0;
}

}  // namespace vexil::objects
