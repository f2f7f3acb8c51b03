#pragma once
// The hook table: one WindowHook per window handle that Window objects refer to, kept in 17
// buckets keyed by the handle modulo 17, each with a count of the objects that share it. The first
// object for a handle subclasses the window; the last one to go gives the window its own procedure
// back. Handlers live in the hook, so every object for the handle sees the same ones.
#include <windows.h>

#include <array>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
struct NativeObject;
}

namespace vexil::hostobjects {

// Handler slots, in the order the hook keeps them.
enum class WindowEvent {
  QueryClose,     // onQueryClose
  Close,          // onClose
  Enter,          // onEnter
  Leave,          // onLeave
  Hover,          // onHover
  Size,           // onSize
  ContextMenu,    // set through the player object, not a Window property
  Move,           // omMove
  ExitSizeMove,   // onExitSizeMove
  EnterSizeMove,  // onEnterSizeMove
  Moving,         // onMoving
  Sizing,         // onSizing
  Deactivate,     // onDeactivate
  Activate,       // onActivate
};
inline constexpr size_t kWindowEventCount = size_t(WindowEvent::Activate) + 1;

struct WindowObject;

struct WindowHook {
  script::Engine* engine = nullptr;
  HWND window = nullptr;
  WNDPROC previousProc = nullptr;  // null once the subclassing is undone
  bool hoverInside = false;
  bool hoverEnabled = true;
  std::array<script::Value, kWindowEventCount> handlers{};  // Undefined: none
  std::vector<WindowObject*> objects;  // the Window objects that share the hook
  int busy = 0;          // window-procedure calls in progress on this hook
  bool orphaned = false; // its last object went while it was busy: freed when it is idle

  bool subclassed() const { return previousProc != nullptr; }
  bool hasHandler(WindowEvent event) const { return handlers[size_t(event)].tag == script::Tag::Function; }
  // The object handlers run on; Undefined when none is left.
  script::Value self() const;
};

// The instance data of a Window object. The hook is null for an object whose handle is hooked by
// another engine: it reads and changes the window but keeps no handlers.
struct WindowObject {
  HWND window = nullptr;
  WindowHook* hook = nullptr;
  script::NativeObject* object = nullptr;  // the script object, not a root
};

// The hook of a handle for the engine, made (and the window subclassed) when there is none. Null
// when the handle is hooked by another engine or cannot be subclassed.
WindowHook* acquireWindowHook(script::Engine& engine, HWND window, WindowObject* object);
// The object goes: at the hook's last object the window gets its own procedure back. Safe during a
// collector sweep (no engine-heap work).
void releaseWindowHook(WindowObject* object);
// The hook of a handle, or null.
WindowHook* findWindowHook(HWND window);
// Gives the window its own procedure back and takes the hook out of the table; its objects keep
// it (without events) until they go. A later object for the handle hooks the window afresh.
void detachWindowHook(WindowHook& hook);

// A window whose procedure could not be given back (something subclassed it after us) keeps ours
// in its chain; ours then passes every message on to the procedure it replaced. Null when the
// handle has no such entry.
WNDPROC passThroughProc(HWND window);
void forgetPassThrough(HWND window);

// Holds a hook alive while a window procedure works with it.
class HookUse {
 public:
  explicit HookUse(WindowHook& hook) : hook_(hook) { ++hook_.busy; }
  ~HookUse();
  HookUse(const HookUse&) = delete;
  HookUse& operator=(const HookUse&) = delete;

 private:
  WindowHook& hook_;
};

// The replacement window procedure (window_events.cpp).
LRESULT CALLBACK hookedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vexil::hostobjects
