#include "host/hostobjects/menu_owner.h"

#include "host/hostobjects/menu_class.h"
#include "host/hostobjects/menu_command_map.h"

namespace vexil::hostobjects {
namespace {

constexpr wchar_t kOwnerClass[] = L"VexilMenuOwner";

script::Engine* engineOf(HWND window) {
  return reinterpret_cast<script::Engine*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  script::Engine* engine = engineOf(window);
  if (engine && message >= WM_KEYFIRST && message <= WM_KEYLAST) {
    MSG msg{window, message, wParam, lParam, DWORD(GetMessageTime()), {}};
    if (translateMenuAccelerator(*engine, msg, window)) return 0;
  }
  if (engine && message == WM_COMMAND) {
    UINT id = LOWORD(wParam);
    if (id >= kFirstMenuCommandId && id <= kLastMenuCommandId) {
      menuCommand(*engine, id);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerOwnerClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ownerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnerClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

MenuOwner::~MenuOwner() {
  if (window_) DestroyWindow(window_);
}

HWND MenuOwner::window(script::Engine& engine, POINT at) {
  if (!window_ && registerOwnerClass()) {
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, kMenuOwnerTitle, WS_POPUP, at.x, at.y, 1, 1, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&engine));
  }
  if (!window_) return nullptr;
  SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, 1, 1, SWP_SHOWWINDOW);
  return window_;
}

}  // namespace vexil::hostobjects
