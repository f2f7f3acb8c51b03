#pragma once
// The window base class. A window is a C++ object bound to an HWND, either one it created with
// its own registered class or one it took over by subclassing. Each derived class answers the
// messages it cares about in onMessage (a switch with one method per message) and passes the rest
// to defaultProc: DefWindowProc for its own windows, the previous procedure for subclassed ones.
#include <windows.h>

#include <string>

namespace vexil::framework {

struct WindowCreation {
  std::wstring className;  // registered on first use with the class styles below
  UINT classStyle = 0;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::wstring title;
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD exStyle = 0;
  RECT bounds{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};  // left, top, right, bottom
  HWND parent = nullptr;
  UINT id = 0;  // the child-window id
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // A window still alive is destroyed (or, if subclassed, given back its own procedure).
  virtual ~Window();

  HWND handle() const { return hwnd_; }
  bool isSubclassed() const { return previousProc_ != nullptr; }

  // Creates the window; preCreateWindow may adjust the parameters first. False when the class
  // cannot be registered, preCreateWindow refuses, or WM_CREATE fails.
  bool create(WindowCreation creation);
  // Takes over an existing window: its messages come to onMessage first.
  bool subclass(HWND hwnd);
  void unsubclass();
  void destroy();

  // The object bound to a window handle, if any.
  static Window* fromHandle(HWND hwnd);

 protected:
  virtual void preCreateWindow(WindowCreation&) {}
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultProc(message, wParam, lParam);
  }
  // Called after the window's last message (WM_NCDESTROY), when the handle is gone.
  virtual void onFinalMessage() {}
  LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static bool registerClass(const WindowCreation& creation);
  void attach(HWND hwnd);
  void detach();

  HWND hwnd_ = nullptr;
  WNDPROC previousProc_ = nullptr;
};

}  // namespace vexil::framework
