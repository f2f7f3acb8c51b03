// Window objects: one per script value, each with its share in the handle's hook. Construction
// takes a window handle as an integer; anything that is not a live window gives null.
#include "host/hostobjects/window_class.h"

#include "host/hostobjects/window_object.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"

namespace vexil::hostobjects {

namespace {

using script::Engine;
using script::NativeClass;
using script::Value;

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

void makeWindow(Engine& engine, NativeClass* cls, HWND window, Value* target) {
  auto* object = new WindowObject{window};
  try {
    script::makeNative(engine, target, cls, object);
  } catch (...) {
    delete object;
    throw;
  }
  object->object = target->native();
  object->hook = acquireWindowHook(engine, window, object);
}

std::optional<HWND> handleArgument(const script::Arguments& args) {
  auto value = args.integer(1);
  if (!value) return std::nullopt;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(*value));
  return IsWindow(window) ? std::optional(window) : std::nullopt;
}

void construct(Engine& engine, NativeClass* cls, const Value* args, Value* result) {
  std::optional<HWND> window = handleArgument(script::Arguments(args));
  if (!window) {
    result->setNull();
    return;
  }
  makeWindow(engine, cls, *window, result);
}

void call(Engine& engine, NativeClass* cls, void*, Value* result, const Value* args) {
  construct(engine, cls, args, result);
}

const script::HostClassInfo kWindowClass = {
    .name = kWindowClassName,
    .methods = windowMethods(),
    .properties = windowProperties(),
    .constants = kConstants,
    .construct = construct,
    .call = call,
    .release = releaseWindow,
    .mark = markWindow,
    .isOpen = windowExists,
};

// The class this engine registered, recognised by its operations so that a script that rebinds
// the global cannot pass something else off as it; null when the global holds another value.
NativeClass* windowClass(Engine& engine) {
  const Value& global = script::globalSlot(engine, kWindowClassName);
  if (global.tag != script::Tag::Native) return nullptr;
  NativeClass* cls = global.native()->cls;
  return cls && cls->releaseInstance == releaseWindow ? cls : nullptr;
}

}  // namespace

Value* windowValue(Engine& engine, HWND window, Value* target) {
  NativeClass* cls = windowClass(engine);
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

HWND windowObjectHandle(Engine& engine, const Value& value) {
  NativeClass* cls = windowClass(engine);
  if (!cls || value.tag != script::Tag::Native || value.native()->cls != cls) return nullptr;
  auto* object = static_cast<WindowObject*>(value.native()->data);
  return object ? object->window : nullptr;
}

bool setWindowContextMenu(Engine& engine, const Value& windowObject, const Value& handler) {
  if (!windowObjectHandle(engine, windowObject)) return false;
  WindowHook* hook = static_cast<WindowObject*>(windowObject.native()->data)->hook;
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
