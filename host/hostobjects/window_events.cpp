// The replacement window procedure: the messages that raise Window events, and hover tracking.
// Every message goes on to the window's own procedure afterwards, except the ones an event
// swallows (a close refused or taken over, a right click that a context-menu handler takes).
#include <windowsx.h>

#include <optional>

#include "host/framework/window_messages.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/window_handlers.h"
#include "host/hostobjects/window_hooks.h"
#include "host/mainwnd/main_wnd.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/property_table.h"

namespace vexil::hostobjects {

namespace {

using script::Engine;
using script::Value;

inline constexpr UINT_PTR kHoverTimer = 100;
inline constexpr UINT kHoverPeriod = 500;

using Handled = std::optional<LRESULT>;

HandlerArguments integers(std::initializer_list<int64_t> values) {
  std::vector<Value> block{Value::fromInteger(int64_t(values.size()))};
  for (int64_t v : values) block.push_back(Value::fromInteger(v));
  return [block](Engine&, script::StackRoots&) { return block; };
}

bool isMainWindow(HWND window) {
  mainwnd::CMainWnd* main = hostContext().mainWnd;
  return main && main->handle() == window;
}

// onQueryClose may refuse; then onClose runs. The main window's own close is the program's end:
// the window gets its own procedure back and is told to close through its close message, so the
// close waits for running scripts as it always does.
Handled onCloseMessage(WindowHook& hook) {
  bool keepOpen = false;
  runHandler(hook, WindowEvent::QueryClose, {}, [&](Engine& engine, const Value& result) {
    keepOpen = !script::valueToBoolean(engine, result);
  });
  if (keepOpen) return 0;
  runHandler(hook, WindowEvent::Close);
  if (!isMainWindow(hook.window)) return std::nullopt;
  detachWindowHook(hook);
  PostMessageW(hook.window, framework::kCloseMessage, 0, 0);
  return 0;
}

// The drag rectangle as {left, top, right, bottom}; integers the handler leaves there are written
// back, so the handler can change the rectangle.
void onDragRectangle(WindowHook& hook, WindowEvent event, WPARAM edge, RECT* rect) {
  if (!rect || !hook.hasHandler(event)) return;
  static const char* const kNames[] = {"left", "top", "right", "bottom"};
  LONG* fields[] = {&rect->left, &rect->top, &rect->right, &rect->bottom};
  Value* object = nullptr;
  auto makeArguments = [&](Engine& engine, script::StackRoots& roots) {
    object = roots.hold();
    script::PropertyTable* table = nullptr;
    script::attachTable(engine, script::Tag::Object, &table);
    object->setObject(table);
    for (size_t i = 0; i < 4; ++i) {
      script::setProperty(engine, table, script::intern(engine, kNames[i]), Value::fromInteger(*fields[i]));
    }
    return std::vector<Value>{Value::fromInteger(2), Value::fromInteger(int64_t(edge)), *object};
  };
  runHandler(hook, event, makeArguments, [&](Engine& engine, const Value&) {
    for (size_t i = 0; i < 4; ++i) {
      Value v = script::getProperty(engine, object->table(), script::intern(engine, kNames[i]));
      if (v.tag == script::Tag::Integer) *fields[i] = LONG(v.integer());
    }
  });
}

bool tracksHover(const WindowHook& hook) {
  return hook.hoverEnabled && (hook.hasHandler(WindowEvent::Enter) || hook.hasHandler(WindowEvent::Leave) ||
                               hook.hasHandler(WindowEvent::Hover));
}

bool insideWindow(HWND window, POINT screenPoint) {
  RECT bounds;
  return GetWindowRect(window, &bounds) && PtInRect(&bounds, screenPoint);
}

void leaveHover(WindowHook& hook) {
  ReleaseCapture();
  KillTimer(hook.window, kHoverTimer);
  runHandler(hook, WindowEvent::Leave);
  hook.hoverInside = false;
}

void onMouseMove(WindowHook& hook, LPARAM lParam) {
  if (!tracksHover(hook)) return;
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hook.window, &point);
  if (!insideWindow(hook.window, point)) {
    leaveHover(hook);
    return;
  }
  if (GetCapture() != hook.window) SetCapture(hook.window);
  if (hook.hoverInside) return;
  SetTimer(hook.window, kHoverTimer, kHoverPeriod, nullptr);
  hook.hoverInside = true;
  runHandler(hook, WindowEvent::Enter);
}

void onHoverTimer(WindowHook& hook) {
  if (!tracksHover(hook)) return;
  POINT point;
  GetCursorPos(&point);
  if (insideWindow(hook.window, point)) {
    runHandler(hook, WindowEvent::Hover);
  } else {
    leaveHover(hook);
  }
}

Handled dispatchEvent(WindowHook& hook, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: return onCloseMessage(hook);
    case WM_SIZE:
      runHandler(hook, WindowEvent::Size, integers({int64_t(wParam), LOWORD(lParam), HIWORD(lParam)}));
      break;
    case WM_MOVE: runHandler(hook, WindowEvent::Move, integers({LOWORD(lParam), HIWORD(lParam)})); break;
    case WM_RBUTTONDOWN:
      if (hook.hasHandler(WindowEvent::ContextMenu)) {
        runHandler(hook, WindowEvent::ContextMenu);
        return 0;
      }
      break;
    case WM_MOVING: onDragRectangle(hook, WindowEvent::Moving, wParam, reinterpret_cast<RECT*>(lParam)); break;
    case WM_SIZING: onDragRectangle(hook, WindowEvent::Sizing, wParam, reinterpret_cast<RECT*>(lParam)); break;
    case WM_ENTERSIZEMOVE: runHandler(hook, WindowEvent::EnterSizeMove); break;
    case WM_EXITSIZEMOVE: runHandler(hook, WindowEvent::ExitSizeMove); break;
    case WM_ACTIVATEAPP: runHandler(hook, wParam ? WindowEvent::Activate : WindowEvent::Deactivate); break;
    case WM_MOUSEMOVE: onMouseMove(hook, lParam); break;
    case WM_TIMER:
      if (wParam == kHoverTimer) onHoverTimer(hook);
      break;
    case framework::kDisableHover: hook.hoverEnabled = false; break;
    case framework::kEnableHover: hook.hoverEnabled = true; break;
  }
  return std::nullopt;
}

}  // namespace

LRESULT CALLBACK hookedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowHook* hook = findWindowHook(window);
  if (!hook || !hook->subclassed()) {
    WNDPROC previous = passThroughProc(window);
    if (message == WM_NCDESTROY) forgetPassThrough(window);
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
  }
  HookUse use(*hook);
  WNDPROC previous = hook->previousProc;  // the handlers may undo the subclassing
  if (Handled handled = dispatchEvent(*hook, message, wParam, lParam)) return *handled;
  // The handle dies with this message and may be given to another window: the hook leaves the
  // table, and its objects answer nothing from now on.
  if (message == WM_NCDESTROY) {
    hook->previousProc = nullptr;
    detachWindowHook(*hook);
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace vexil::hostobjects
