#include "net/inet/win32/program_ending.h"

#include <windows.h>

namespace vexil::net {

bool programEnding() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ||
         PeekMessageW(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
}

}  // namespace vexil::net
