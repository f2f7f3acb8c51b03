#pragma once
// The application object: one per process. run() calls InitInstance, then, when a main window
// exists, runs the message loop with idle processing until WM_QUIT, and ends with ExitInstance.
// A derived application overrides the four hooks.
#include <windows.h>

#include <string>
#include <vector>

namespace vexil::framework {

class Window;

class WinApp {
 public:
  WinApp();
  WinApp(const WinApp&) = delete;
  WinApp& operator=(const WinApp&) = delete;
  virtual ~WinApp();

  static WinApp* current();

  // The process's life: returns the exit code.
  int run(HINSTANCE instance, std::vector<std::wstring> arguments);

  // The arguments after the program name, as the command line gave them.
  const std::vector<std::wstring>& arguments() const { return arguments_; }
  HINSTANCE instance() const { return instance_; }

  Window* mainWindow() const { return mainWindow_; }
  void setMainWindow(Window* window) { mainWindow_ = window; }

  // OLE for hosting ActiveX controls in this thread; undone when run() returns.
  bool enableControlContainer();

  // Takes one message off the queue and routes it (PreTranslateMessage, then translation and
  // dispatch). False on WM_QUIT, whose code is then the loop's exit code.
  bool pumpMessage();

  // Splits a command line as the C runtime does.
  static std::vector<std::wstring> splitCommandLine(const wchar_t* commandLine);

 protected:
  // FALSE ends the process at once (after ExitInstance).
  virtual bool InitInstance() { return true; }
  virtual int ExitInstance() { return exitCode_; }
  // True when the message was consumed.
  virtual bool PreTranslateMessage(MSG&) { return false; }
  // Called while the queue is empty; true asks for another call before waiting.
  virtual bool OnIdle(long) { return false; }

  int exitCode_ = 0;

 private:
  int messageLoop();

  HINSTANCE instance_ = nullptr;
  std::vector<std::wstring> arguments_;
  Window* mainWindow_ = nullptr;
  bool oleInitialized_ = false;
  MSG current_{};
};

}  // namespace vexil::framework
