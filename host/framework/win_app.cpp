#include "host/framework/win_app.h"

#include <ole2.h>
#include <shellapi.h>

namespace vexil::framework {
namespace {

WinApp* theApp = nullptr;

// Mouse moves and the caret's blink come all the time; they do not make the application busy
// again, so they do not restart idle processing.
bool restartsIdle(const MSG& msg) {
  return msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != WM_PAINT &&
         msg.message != 0x0118;  // WM_SYSTIMER, the caret blink
}

}  // namespace

WinApp::WinApp() { theApp = this; }

WinApp::~WinApp() {
  if (theApp == this) theApp = nullptr;
}

WinApp* WinApp::current() { return theApp; }

std::vector<std::wstring> WinApp::splitCommandLine(const wchar_t* commandLine) {
  std::vector<std::wstring> result;
  if (!commandLine) return result;
  int count = 0;
  wchar_t** parts = CommandLineToArgvW(commandLine, &count);
  if (!parts) return result;
  for (int i = 0; i < count; ++i) result.emplace_back(parts[i]);
  LocalFree(parts);
  return result;
}

bool WinApp::enableControlContainer() {
  if (!oleInitialized_) oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  return oleInitialized_;
}

int WinApp::run(HINSTANCE instance, std::vector<std::wstring> arguments) {
  instance_ = instance;
  arguments_ = std::move(arguments);
  int code = InitInstance() && mainWindow_ ? messageLoop() : ExitInstance();
  if (oleInitialized_) OleUninitialize();
  oleInitialized_ = false;
  return code;
}

bool WinApp::pumpMessage() {
  if (GetMessageW(&current_, nullptr, 0, 0) <= 0) {
    exitCode_ = current_.message == WM_QUIT ? int(current_.wParam) : exitCode_;
    return false;
  }
  if (!PreTranslateMessage(current_)) {
    TranslateMessage(&current_);
    DispatchMessageW(&current_);
  }
  return true;
}

int WinApp::messageLoop() {
  bool idle = true;
  long idleCount = 0;
  MSG peek;
  for (;;) {
    while (idle && !PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!pumpMessage()) return ExitInstance();
      if (restartsIdle(current_)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace vexil::framework
