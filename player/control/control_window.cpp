#include "player/control/control_window.h"

#include "platform/win32/dll_module.h"

namespace vexil::control {
namespace {

constexpr const wchar_t* kWindowClassName = L"VexilPlayerControlWindow";

}  // namespace

bool ControlWindow::ensureClassRegistered() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(platform::moduleInstance(), kWindowClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = &ControlWindow::windowProc;
  windowClass.hInstance = platform::moduleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassExW(&windowClass) != 0;
}

bool ControlWindow::create(HWND parent, const RECT& position) {
  if (hwnd_) return true;
  if (!ensureClassRegistered()) return false;
  hwnd_ = CreateWindowExW(0, kWindowClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          position.left, position.top, position.right - position.left,
                          position.bottom - position.top, parent, nullptr, platform::moduleInstance(), this);
  return hwnd_ != nullptr;
}

void ControlWindow::destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void ControlWindow::move(const RECT& position) {
  if (hwnd_) {
    MoveWindow(hwnd_, position.left, position.top, position.right - position.left, position.bottom - position.top,
               TRUE);
  }
}

void ControlWindow::setFrameInterval(UINT milliseconds) {
  if (!hwnd_) return;
  if (milliseconds == 0) {
    KillTimer(hwnd_, kFrameTimerId);
  } else {
    SetTimer(hwnd_, kFrameTimerId, milliseconds, nullptr);
  }
}

void ControlWindow::invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ControlWindow::unregisterClass() { UnregisterClassW(kWindowClassName, platform::moduleInstance()); }

LRESULT CALLBACK ControlWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: return self->onPaint();
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_TIMER: return self->onTimer(wParam);
    case WM_NCDESTROY: return self->onNcDestroy();
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ControlWindow::onPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  owner_.paint(dc, client);
  EndPaint(hwnd_, &paint);
  return 0;
}

LRESULT ControlWindow::onTimer(UINT_PTR id) {
  if (id == kFrameTimerId) owner_.frameTimer();
  return 0;
}

LRESULT ControlWindow::onNcDestroy() {
  HWND hwnd = hwnd_;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  return DefWindowProcW(hwnd, WM_NCDESTROY, 0, 0);
}

}  // namespace vexil::control
