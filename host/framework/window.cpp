#include "host/framework/window.h"

#include <utility>

#include "host/framework/win_app.h"

namespace vexil::framework {
namespace {

// The property that ties a window handle to its object. A property rather than GWLP_USERDATA,
// because a subclassed window's own code may be using that slot.
constexpr const wchar_t* kObjectProperty = L"Vexil.Window";

// The object whose window is being created on this thread: the first message of the new window
// (which may come before WM_NCCREATE) binds the handle to it.
thread_local Window* windowBeingCreated = nullptr;

}  // namespace

Window::~Window() {
  if (!hwnd_) return;
  if (isSubclassed()) {
    unsubclass();
  } else {
    DestroyWindow(hwnd_);
    detach();
  }
}

Window* Window::fromHandle(HWND hwnd) { return hwnd ? static_cast<Window*>(GetPropW(hwnd, kObjectProperty)) : nullptr; }

bool Window::registerClass(const WindowCreation& creation) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, creation.className.c_str(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = creation.classStyle;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = creation.cursor ? creation.cursor : LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = creation.background;
  wc.lpszClassName = creation.className.c_str();
  return RegisterClassExW(&wc) != 0;
}

bool Window::create(WindowCreation creation) {
  if (hwnd_) return false;
  preCreateWindow(creation);
  if (!registerClass(creation)) return false;
  const RECT& b = creation.bounds;
  int width = b.right == CW_USEDEFAULT ? CW_USEDEFAULT : b.right - b.left;
  int height = b.bottom == CW_USEDEFAULT ? CW_USEDEFAULT : b.bottom - b.top;
  windowBeingCreated = this;
  HWND hwnd = CreateWindowExW(creation.exStyle, creation.className.c_str(), creation.title.c_str(), creation.style,
                              b.left, b.top, width, height, creation.parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(creation.id)), GetModuleHandleW(nullptr),
                              nullptr);
  windowBeingCreated = nullptr;
  return hwnd != nullptr && hwnd_ == hwnd;
}

bool Window::subclass(HWND hwnd) {
  if (hwnd_ || !hwnd || fromHandle(hwnd)) return false;
  attach(hwnd);
  previousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::windowProc)));
  if (!previousProc_) {
    detach();
    return false;
  }
  return true;
}

void Window::unsubclass() {
  if (!hwnd_ || !previousProc_) return;
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  detach();
}

void Window::destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProperty, this);
}

void Window::detach() {
  if (hwnd_) RemovePropW(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
  previousProc_ = nullptr;
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previousProc_) return CallWindowProcW(previousProc_, hwnd_, message, wParam, lParam);
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = fromHandle(hwnd);
  if (!self && windowBeingCreated) {
    self = std::exchange(windowBeingCreated, nullptr);
    self->attach(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message != WM_NCDESTROY) return self->onMessage(message, wParam, lParam);

  // The last message: let the window's own handling run, then unbind, and end the message loop
  // when this was the application's main window.
  LRESULT result = self->onMessage(message, wParam, lParam);
  bool subclassed = self->isSubclassed();
  if (subclassed) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->previousProc_));
  self->detach();
  if (WinApp* app = WinApp::current(); app && app->mainWindow() == self) {
    app->setMainWindow(nullptr);
    PostQuitMessage(0);
  }
  self->onFinalMessage();
  return result;
}

}  // namespace vexil::framework
