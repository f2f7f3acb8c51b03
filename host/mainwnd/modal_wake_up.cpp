#include "host/mainwnd/modal_wake_up.h"

#include <optional>

#include "host/mainwnd/modifiers_down.h"

namespace vexil::mainwnd {
namespace {

// One full-screen window per process, so one filter.
ModalWakeUp* active = nullptr;

std::optional<UserAction> actionOf(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: return UserAction::MouseMove;
    case WM_LBUTTONDOWN: case WM_NCLBUTTONDOWN: return UserAction::LeftButton;
    case WM_RBUTTONDOWN: case WM_NCRBUTTONDOWN: return UserAction::RightButton;
    case WM_MBUTTONDOWN: case WM_NCMBUTTONDOWN: return UserAction::MiddleButton;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: return UserAction::Key;
    default: return std::nullopt;
  }
}

}  // namespace

ModalWakeUp::ModalWakeUp(const package::PackageSettings& settings, HWND window)
    : settings_(settings), window_(window) {
  active = this;
  hook_ = SetWindowsHookExW(WH_MSGFILTER, filter, nullptr, GetCurrentThreadId());
}

ModalWakeUp::~ModalWakeUp() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (active == this) active = nullptr;
}

LRESULT CALLBACK ModalWakeUp::filter(int code, WPARAM wParam, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if ((code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX) && active && msg && active->wakes(*msg)) return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool ModalWakeUp::wakes(const MSG& msg) {
  std::optional<UserAction> action = actionOf(msg.message);
  if (!action || !IsWindow(window_)) return false;
  if (action == UserAction::MouseMove && !mouseOrigin_.isMovement(msg.pt.x, msg.pt.y)) return false;
  WakeUpSettings rules{settings_.wakeupMethod, settings_.hotKeyCode, settings_.hotKeyModifiers};
  bool isKey = action == UserAction::Key;
  if (!endsScreensaver(rules, *action, isKey ? uint16_t(msg.wParam) : 0, isKey ? modifiersDown() : 0)) return false;
  // Only dialogs above the screensaver's own window: those it owns, directly or through another.
  HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
  HWND owner = dialog;
  while (owner && owner != window_) owner = GetWindow(owner, GW_OWNER);
  if (!owner) return false;
  EndDialog(dialog, IDCANCEL);
  PostMessageW(window_, WM_CLOSE, 0, 0);
  return true;
}

}  // namespace vexil::mainwnd
