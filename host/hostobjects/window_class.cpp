// Window objects: one per script value, each with its share in the handle's hook. Construction
// takes a window handle as an integer; anything that is not a live window gives null.
#include "host/hostobjects/window_class.h"

#include <memory>

#include "host/hostobjects/window_object.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"

namespace vexil::hostobjects {

namespace {

using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Value;

constexpr char kMainWindowGlobal[] = "$_LUMARC_MAIN_WINDOW_";

// The flags of AnimateWindow.
const script::HostConstant kConstants[] = {
    {"$AW_SLIDE", 0x40000},       {"$AW_ACTIVATE", 0x20000},  {"$AW_BLEND", 0x80000},
    {"$AW_HIDE", 0x10000},        {"$AW_CENTER", 16},         {"$AW_HOR_POSITIVE", 1},
    {"$AW_HOR_NEGATIVE", 2},      {"$AW_VER_POSITIVE", 4},    {"$AW_VER_NEGATIVE", 8},
};

void releaseWindow(NativeClass*, void* data) {
  auto* object = static_cast<WindowObject*>(data);
  if (!object) return;
  releaseWindowHook(object);
  delete object;
}

// The handlers live in the hook; every object of the handle keeps them alive.
void markWindow(Engine& engine, NativeClass*, void* data) {
  auto* object = static_cast<WindowObject*>(data);
  if (!object || !object->hook) return;
  for (const Value& handler : object->hook->handlers) script::markValue(engine, handler);
}

bool windowExists(const void* data) { return IsWindow(static_cast<const WindowObject*>(data)->window); }

// What the class keeps per engine: the Window object getMainWnd hands out, made anew when it no
// longer stands for the current main window.
struct WindowClassState {
  Value mainWindow;
  void mark(Engine& engine) const { script::markValue(engine, mainWindow); }
};

// The object owns its record from the moment it is published; the hook is taken after, so a
// failure in either leaves one owner to release it.
void makeWindow(Engine& engine, NativeClass* cls, HWND window, Value* target) {
  auto* object = script::publishInstance(engine, target, cls, std::make_unique<WindowObject>(WindowObject{window}));
  object->object = target->native();
  object->hook = acquireWindowHook(engine, window, object);
}

std::optional<HWND> handleArgument(const script::Arguments& args) {
  auto value = args.integer(1);
  if (!value) return std::nullopt;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(*value));
  return IsWindow(window) ? std::optional(window) : std::nullopt;
}

// Called as a function, the class constructs too (so the failure value is written here: a call's
// result starts as Undefined).
void construct(HostCall& call) {
  std::optional<HWND> window = handleArgument(call.args);
  if (!window) return call.result->setNull();
  makeWindow(call.engine, call.cls, *window, call.result);
}

const script::HostClassInfo kWindowClass = {
    .name = kWindowClassName,
    .methods = windowMethods(),
    .properties = windowProperties(),
    .constants = kConstants,
    .construct = construct,
    .call = construct,
    .release = releaseWindow,
    .mark = markWindow,
    .isOpen = windowExists,
    .state = &script::kPlainState<WindowClassState>,
};

}  // namespace

Value* windowValue(Engine& engine, HWND window, Value* target) {
  NativeClass* cls = script::hostClass(engine, kWindowClass);
  if (!cls || !window || !IsWindow(window)) {
    target->setNull();
    return target;
  }
  makeWindow(engine, cls, window, target);
  return target;
}

Value newWindowObject(Engine& engine, HWND window) {
  Value result;
  windowValue(engine, window, &result);
  return result;
}

Value mainWindowObject(Engine& engine, HWND main) {
  auto* state = script::hostState<WindowClassState>(engine, kWindowClass);
  if (!state || !main || !IsWindow(main)) return Value::null();
  if (windowObjectHandle(engine, state->mainWindow) != main) {
    state->mainWindow = newWindowObject(engine, main);
    // Scripts that know the name find it there too; getMainWnd itself never reads the global.
    script::globalSlot(engine, kMainWindowGlobal) = state->mainWindow;
  }
  return state->mainWindow;
}

HWND windowObjectHandle(Engine&, const Value& value) {
  auto* object = script::instanceOf<WindowObject>(value, kWindowClass);
  return object ? object->window : nullptr;
}

bool setWindowContextMenu(Engine& engine, const Value& windowObject, const Value& handler) {
  if (!windowObjectHandle(engine, windowObject)) return false;
  WindowHook* hook = script::instanceOf<WindowObject>(windowObject, kWindowClass)->hook;
  if (!hook) return false;
  Value& slot = hook->handlers[size_t(WindowEvent::ContextMenu)];
  if (handler.tag == script::Tag::Function) {
    slot = handler;
  } else {
    slot.setUndefined();
  }
  return true;
}

void registerWindow(Engine& engine) { script::defineHostClass(engine, kWindowClass); }

}  // namespace vexil::hostobjects
