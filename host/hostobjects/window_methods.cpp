// The methods of Window objects. Calls with unusable arguments do nothing and yield undefined.
#include <algorithm>
#include <string>
#include <vector>

#include "host/hostobjects/host_context.h"
#include "host/hostobjects/window_class.h"
#include "host/hostobjects/window_fly_motion.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/win32/locale_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::hostobjects {

namespace {

using script::HostCall;
using script::Value;

inline constexpr UINT kStyleFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | 64;
inline constexpr UINT kFlyFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
inline constexpr int64_t kDefaultFlyDelay = 10;
inline constexpr SIZE kCreatedSize{200, 20};

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

// An array of the Window objects of the handles, in order.
void windowArray(HostCall& call, const std::vector<HWND>& windows) {
  script::StackRoots roots(call.engine);
  Value* array = roots.hold();
  array->setArray(script::newArray(call.engine));
  Value* element = roots.hold();
  uint64_t index = 0;
  for (HWND window : windows) {
    windowValue(call.engine, window, element);
    script::storeElement(call.engine, *array->array(), index++, *element);
  }
  *call.result = *array;
}

void show(HostCall& call) { ShowWindow(handleOf(call), SW_SHOW); }
void hide(HostCall& call) { ShowWindow(handleOf(call), SW_HIDE); }
void close(HostCall& call) { SendNotifyMessageW(handleOf(call), WM_CLOSE, 0, 0); }

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

void getChildren(HostCall& call) {
  std::vector<HWND> children;
  EnumChildWindows(handleOf(call), collectWindow, reinterpret_cast<LPARAM>(&children));
  windowArray(call, children);
}

// A present argument that is not a string makes the call unusable.
bool optionalText(const script::Arguments& args, uint32_t i, std::optional<std::wstring>& text) {
  if (!args.at(i)) return true;
  const script::ScriptString* s = args.string(i);
  if (!s) return false;
  text = wide(s->view());
  return true;
}

void find(HostCall& call) {
  std::optional<std::wstring> className, windowName;
  if (!optionalText(call.args, 1, className) || !optionalText(call.args, 2, windowName)) return;
  HWND found = FindWindowW(className ? className->c_str() : nullptr, windowName ? windowName->c_str() : nullptr);
  windowValue(call.engine, found, call.result);
}

void bringToTop(HostCall& call) { SetForegroundWindow(handleOf(call)); }

template <int Index>
void modifyStyleOf(HostCall& call) {
  HWND window = handleOf(call);
  auto remove = DWORD(call.args.integer(1).value_or(0));
  auto add = DWORD(call.args.integer(2).value_or(0));
  DWORD style = GetWindowLongW(window, Index);
  SetWindowLongW(window, Index, LONG((style & ~remove) | add));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, kStyleFrameFlags);
}

void move(HostCall& call) {
  HWND window = handleOf(call);
  RECT r = windowBounds(window);
  LONG* edges[] = {&r.left, &r.top, &r.right, &r.bottom};
  for (uint32_t i = 0; i < 4; ++i) {
    if (auto edge = call.args.integer(i + 1)) *edges[i] = LONG(*edge);
  }
  MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// A visible child of the main window; null when there is no main window or the class is unknown.
void create(HostCall& call) {
  const script::ScriptString* className = call.args.string(1);
  mainwnd::CMainWnd* main = hostContext().mainWnd;
  if (!className) return;
  HWND created = nullptr;
  if (main && main->handle()) {
    std::wstring name = wide(className->view());
    created = CreateWindowExW(0, name.c_str(), L"", WS_CHILD | WS_VISIBLE, 0, 0, kCreatedSize.cx, kCreatedSize.cy,
                              main->handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  windowValue(call.engine, created, call.result);
}

struct TitleSearch {
  std::wstring name;
  std::vector<HWND> found;
};

BOOL CALLBACK matchTitle(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TitleSearch*>(data);
  if (search.name.empty()) {
    search.found.push_back(window);
    return TRUE;
  }
  std::wstring title(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  title.resize(size_t(GetWindowTextW(window, title.data(), int(title.size()))));
  if (platform::equalsIgnoringCaseInUserLocale(title, search.name)) {
    search.found.push_back(window);
  }
  return TRUE;
}

void getWindowsByName(HostCall& call) {
  TitleSearch search;
  if (const Value* name = call.args.at(1)) {
    Value text;
    script::valueToString(call.engine, *name, &text);
    search.name = wide(text.string()->view());
  }
  EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
  windowArray(call, search.found);
}

// Looked up when called, so the program still starts where user32 has no AnimateWindow.
void animate(HostCall& call) {
  auto time = call.args.integer(1);
  auto flags = call.args.integer(2);
  if (!time || !flags) return;
  using AnimateWindowFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto animateWindow = user32 ? reinterpret_cast<AnimateWindowFn>(
                                    reinterpret_cast<void*>(GetProcAddress(user32, "AnimateWindow")))
                              : nullptr;
  call.result->setBoolean(animateWindow && animateWindow(handleOf(call), DWORD(*time), DWORD(*flags)));
}

void update(HostCall& call) {
  call.result->setBoolean(RedrawWindow(handleOf(call), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN));
}

// Coordinates are window coordinates: anything beyond 32 bits is cut to the nearest.
int64_t coordinate(int64_t v) { return std::clamp<int64_t>(v, INT32_MIN, INT32_MAX); }

void slide(HWND window, FlyPoint from, FlyPoint to, int64_t delay) {
  DWORD pause = DWORD(std::clamp<int64_t>(delay, 0, INT32_MAX));
  flyMotion(
      from, to,
      [&](FlyPoint p) { SetWindowPos(window, nullptr, int(coordinate(p.x)), int(coordinate(p.y)), 0, 0, kFlyFlags); },
      [&] { Sleep(pause); });
}

void fly(HostCall& call) {
  HWND window = handleOf(call);
  int64_t corner = call.args.integer(1).value_or(0);
  int64_t direction = call.args.integer(2).value_or(0);
  bool slideIn = call.args.at(3) ? script::valueToBoolean(call.engine, *call.args.at(3)) : true;
  int64_t delay = call.args.integer(4).value_or(kDefaultFlyDelay);
  if (delay < 0) delay = kDefaultFlyDelay;
  RECT work{}, bounds{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &bounds);
  FlyEnds ends = flyEnds(corner, direction, slideIn, {work.left, work.top, work.right, work.bottom},
                         bounds.right - bounds.left, bounds.bottom - bounds.top);
  slide(window, ends.from, ends.to, delay);
}

void fly2(HostCall& call) {
  int64_t v[5];
  for (uint32_t i = 0; i < 5; ++i) {
    auto n = call.args.integer(i + 1);
    if (!n) return;
    v[i] = i < 4 ? coordinate(*n) : *n;
  }
  slide(handleOf(call), {v[0], v[1]}, {v[2], v[3]}, v[4]);
}

// Over the parent's client area for a child; over a visible owner, else the work area of the
// window's monitor, for a top-level window, which also stays inside that work area.
void center(HostCall& call) {
  HWND window = handleOf(call);
  RECT bounds;
  GetWindowRect(window, &bounds);
  LONG width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  HWND parent = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  RECT area{}, limit{};
  if (parent) {
    GetClientRect(parent, &area);
    limit = area;
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    limit = area = monitor.rcWork;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  }
  LONG x = (area.left + area.right) / 2 - width / 2;
  LONG y = (area.top + area.bottom) / 2 - height / 2;
  if (!parent) {
    x = std::max(limit.left, std::min(x, limit.right - width));
    y = std::max(limit.top, std::min(y, limit.bottom - height));
  }
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// find, create and getWindowsByName need no window of their own: the class object answers them.
const script::HostMethodEntry kMethods[] = {
    {"show", show},
    {"hide", hide},
    {"close", close},
    {"getChildren", getChildren},
    {"find", find, true},
    {"bringToTop", bringToTop},
    {"modifyStyle", modifyStyleOf<GWL_STYLE>},
    {"modifyStyleEx", modifyStyleOf<GWL_EXSTYLE>},
    {"move", move},
    {"create", create, true},
    {"getWindowsByName", getWindowsByName, true},
    {"animate", animate},
    {"update", update},
    {"fly", fly},
    {"fly2", fly2},
    {"center", center},
};

}  // namespace

std::span<const script::HostMethodEntry> windowMethods() { return kMethods; }

}  // namespace vexil::hostobjects
