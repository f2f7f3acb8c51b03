#pragma once
// The control's child window: paints through its owner and drives the frame timer. One method per
// message it handles; everything else takes the default route, so a host that subclasses the
// window for mouse and keys sees them untouched.
#include <windows.h>

namespace vexil::control {

class ControlWindowOwner {
 public:
  virtual ~ControlWindowOwner() = default;
  virtual void paint(HDC dc, const RECT& bounds) = 0;
  virtual void frameTimer() = 0;
};

class ControlWindow {
 public:
  static constexpr UINT_PTR kFrameTimerId = 1;

  explicit ControlWindow(ControlWindowOwner& owner) : owner_(owner) {}
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;
  ~ControlWindow() { destroy(); }

  bool create(HWND parent, const RECT& position);
  void destroy();
  HWND handle() const { return hwnd_; }
  void move(const RECT& position);
  void setFrameInterval(UINT milliseconds);  // 0 stops the timer
  void invalidate();

  static void unregisterClass();

 private:
  static bool ensureClassRegistered();
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onPaint();
  LRESULT onTimer(UINT_PTR id);
  LRESULT onNcDestroy();

  ControlWindowOwner& owner_;
  HWND hwnd_ = nullptr;
};

}  // namespace vexil::control
