#include "host/hostobjects/window_hooks.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace vexil::hostobjects {

namespace {

inline constexpr size_t kBucketCount = 17;
inline constexpr UINT_PTR kHoverTimer = 100;

struct HookNode {
  HookNode* next;
  WindowHook* hook;
  int count;  // the Window objects that refer to the hook
};

// The process-wide table. Everything here runs on the user-interface thread.
std::array<HookNode*, kBucketCount> buckets{};
std::unordered_map<HWND, WNDPROC> passThrough;

HookNode*& bucketOf(HWND window) { return buckets[reinterpret_cast<uintptr_t>(window) % kBucketCount]; }

HookNode** findNode(HWND window) {
  HookNode** link = &bucketOf(window);
  while (*link && (*link)->hook->window != window) link = &(*link)->next;
  return link;
}

HookNode** findNode(const WindowHook& hook) {
  HookNode** link = &bucketOf(hook.window);
  while (*link && (*link)->hook != &hook) link = &(*link)->next;
  return link;
}

void unlink(const WindowHook& hook) {
  HookNode** link = findNode(hook);
  if (HookNode* node = *link) {
    *link = node->next;
    delete node;
  }
}

// Puts the window's own procedure back, unless something subclassed it after us: then our
// procedure stays in its chain and passes everything on, as it does for a window without a hook.
void restoreProcedure(WindowHook& hook) {
  if (!hook.subclassed()) return;
  WNDPROC previous = std::exchange(hook.previousProc, nullptr);
  if (!IsWindow(hook.window)) return;
  if (hook.hoverInside) KillTimer(hook.window, kHoverTimer);
  hook.hoverInside = false;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hook.window, GWLP_WNDPROC)) == hookedWindowProc) {
    SetWindowLongPtrW(hook.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  } else {
    passThrough[hook.window] = previous;
  }
}

// Our procedure in the window's chain, answering the procedure it passes messages on to. A window
// that still has ours from an earlier hook is not subclassed twice.
WNDPROC subclass(HWND window) {
  if (auto kept = passThrough.find(window); kept != passThrough.end()) {
    WNDPROC previous = kept->second;
    passThrough.erase(kept);
    return previous;
  }
  SetLastError(0);
  auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hookedWindowProc)));
  if (!previous && GetLastError() != 0) return nullptr;
  return previous;
}

}  // namespace

WNDPROC passThroughProc(HWND window) {
  auto kept = passThrough.find(window);
  return kept == passThrough.end() ? nullptr : kept->second;
}

void forgetPassThrough(HWND window) { passThrough.erase(window); }

script::Value WindowHook::self() const {
  script::Value v;
  if (!objects.empty()) v.setNative(objects.front()->object);
  return v;
}

WindowHook* findWindowHook(HWND window) {
  HookNode* node = *findNode(window);
  return node ? node->hook : nullptr;
}

WindowHook* acquireWindowHook(script::Engine& engine, HWND window, WindowObject* object) {
  if (HookNode* node = *findNode(window)) {
    if (node->hook->engine != &engine) return nullptr;
    ++node->count;
    node->hook->objects.push_back(object);
    return node->hook;
  }
  auto* hook = new WindowHook;
  hook->engine = &engine;
  hook->window = window;
  WNDPROC previous = subclass(window);
  if (!previous) {
    delete hook;
    return nullptr;
  }
  hook->previousProc = previous;
  hook->objects.push_back(object);
  bucketOf(window) = new HookNode{bucketOf(window), hook, 1};
  return hook;
}

void detachWindowHook(WindowHook& hook) {
  restoreProcedure(hook);
  unlink(hook);
}

void releaseWindowHook(WindowObject* object) {
  WindowHook* hook = object->hook;
  if (!hook) return;
  object->hook = nullptr;
  std::erase(hook->objects, object);
  HookNode* node = *findNode(*hook);
  if (node && --node->count > 0) return;
  if (!hook->objects.empty()) return;  // a detached hook: its objects are counted by the list
  detachWindowHook(*hook);
  if (hook->busy > 0) {
    hook->orphaned = true;
    return;
  }
  delete hook;
}

HookUse::~HookUse() {
  if (--hook_.busy == 0 && hook_.orphaned) delete &hook_;
}

}  // namespace vexil::hostobjects
