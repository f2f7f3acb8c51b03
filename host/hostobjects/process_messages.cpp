#include "host/hostobjects/process_messages.h"

#include <windows.h>

#include "host/framework/win_app.h"
#include "host/framework/window_messages.h"
#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "host/mainwnd/script_bridge.h"

namespace vexil::hostobjects {
namespace {

constexpr UINT kIdleKick = 0x036A;  // the framework's own nudge to idle processing

HWND mainWindow() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->handle() : nullptr;
}

bool scriptsRunning() {
  mainwnd::ScriptBridge* bridge = hostContext().bridge;
  return bridge && bridge->nesting() > 0;
}

bool isMainWindowClose(const MSG& msg) {
  HWND main = mainWindow();
  return main && msg.hwnd == main && (msg.message == WM_CLOSE || msg.message == framework::kCloseMessage);
}

// The main window puts a close back in the queue while scripts run; once that has happened the
// close is under way.
bool closeWaiting() {
  MSG msg;
  HWND main = mainWindow();
  return main && PeekMessageW(&msg, main, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
}

// The application's loop must still see the quit: the exit runs there, once the scripts that are
// running now (the caller among them) have returned. Ending the application here would destroy
// the engine under them.
void takeQuit() {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  if (hostContext().app) PostQuitMessage(int(msg.wParam));
}

void dispatch() {
  if (framework::WinApp* app = hostContext().app) {
    app->pumpMessage();
    return;
  }
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

bool processMessages() {
  MSG next;
  while (PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) {
    if (next.message == WM_QUIT) {
      takeQuit();
      return false;
    }
    if (next.message == kIdleKick) {
      PeekMessageW(&next, next.hwnd, kIdleKick, kIdleKick, PM_REMOVE);
      continue;
    }
    bool close = isMainWindowClose(next) && scriptsRunning();
    dispatch();
    if (close && closeWaiting()) return false;
  }
  return true;
}

}  // namespace vexil::hostobjects
