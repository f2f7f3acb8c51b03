#include "host/mainwnd/player_control.h"

#include "host/mainwnd/modifiers_down.h"
#include "host/mainwnd/player_identity.h"
#include "host/mainwnd/script_bridge.h"
#include "platform/win32/wide_text.h"

namespace vexil::mainwnd {

HRESULT PlayerControl::createControl(const std::wstring& playerFile, const framework::ControlPlacement& placement,
                                     framework::ControlEvents* events) {
  HRESULT status = E_FAIL;
  for (const CLSID* clsid : kPlayerClasses) {
    status = playerFile.empty() ? site_.createByClsid(*clsid, placement, events)
                                : site_.createFromFile(playerFile, *clsid, std::nullopt, placement, events);
    if (SUCCEEDED(status)) break;
  }
  if (FAILED(status)) return status;
  if (!subclass(site_.window())) {
    site_.destroy();
    return E_FAIL;
  }
  return S_OK;
}

void PlayerControl::destroyControl() {
  unsubclass();
  site_.destroy();
}

HRESULT PlayerControl::setMovie(const std::string& path) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(platform::toWide(path).c_str());
  HRESULT status = site_.putProperty(kDispidMovie, value);
  VariantClear(&value);
  return status;
}

HRESULT PlayerControl::putNamedProperty(const wchar_t* name, VARIANT value) {
  IDispatch* control = site_.dispatch();
  if (!control) return E_NOINTERFACE;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT status = control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return FAILED(status) ? status : site_.putProperty(id, value);
}

HRESULT PlayerControl::setScaleMode(int mode) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = mode;
  return putNamedProperty(kPropertyScaleMode, value);
}

HRESULT PlayerControl::setBackgroundColor(uint32_t rgb) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = LONG(rgb);
  return putNamedProperty(kPropertyBackgroundColor, value);
}

LRESULT PlayerControl::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Script menus see keyboard messages first.
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
    MSG msg{handle(), message, wParam, lParam, DWORD(GetMessageTime()), {}};
    HWND mainWindow = GetAncestor(handle(), GA_ROOT);
    if (bridge_.runner().translateAccelerator(msg, mainWindow)) return 0;
  }
  switch (message) {
    case WM_SETCURSOR: return onSetCursor(wParam, lParam);
    case WM_MOUSEMOVE: return onMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return onButtonDown(message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return onKeyDown(message, wParam, lParam);
    case WM_SYSCOMMAND: return onSysCommand(wParam, lParam);
    default: return defaultProc(message, wParam, lParam);
  }
}

LRESULT PlayerControl::onSetCursor(WPARAM wParam, LPARAM lParam) {
  if (settings_.options & package::kOptionHideCursor) {
    SetCursor(nullptr);
    return TRUE;
  }
  if (HCURSOR cursor = bridge_.runner().cursor()) {
    SetCursor(cursor);
    return TRUE;
  }
  return defaultProc(WM_SETCURSOR, wParam, lParam);
}

LRESULT PlayerControl::onMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!mouseOrigin_.isMovement(short(LOWORD(lParam)), short(HIWORD(lParam)))) {
    return defaultProc(WM_MOUSEMOVE, wParam, lParam);
  }
  return applyWakeUpRule(UserAction::MouseMove, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT PlayerControl::onButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
  UserAction action = message == WM_LBUTTONDOWN   ? UserAction::LeftButton
                      : message == WM_RBUTTONDOWN ? UserAction::RightButton
                                                  : UserAction::MiddleButton;
  return applyWakeUpRule(action, message, wParam, lParam);
}

LRESULT PlayerControl::onKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
  return applyWakeUpRule(UserAction::Key, message, wParam, lParam, uint16_t(wParam));
}

LRESULT PlayerControl::onSysCommand(WPARAM wParam, LPARAM lParam) {
  UINT command = UINT(wParam & 0xFFF0);
  if (command == SC_SCREENSAVE || command == SC_CLOSE) return 0;
  return defaultProc(WM_SYSCOMMAND, wParam, lParam);
}

LRESULT PlayerControl::applyWakeUpRule(UserAction action, UINT message, WPARAM wParam, LPARAM lParam, uint16_t key) {
  WakeUpSettings rules{settings_.wakeupMethod, settings_.hotKeyCode, settings_.hotKeyModifiers};
  if (!endsScreensaver(rules, action, key, action == UserAction::Key ? modifiersDown() : 0)) {
    return defaultProc(message, wParam, lParam);
  }
  PostMessageW(GetAncestor(handle(), GA_ROOT), WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace vexil::mainwnd
