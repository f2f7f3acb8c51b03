// The properties of Window objects: text, position and size, parent, state, and the event
// handlers. Position writes take integers only and never activate or reorder the window.
#include <string>

#include "host/hostobjects/window_class.h"
#include "host/hostobjects/window_object.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/conversions.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {

namespace {

using script::HostCall;
using script::Value;

inline constexpr UINT kPlaceFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
inline constexpr int kClassNameLength = 255;


void caption(HostCall& call) {
  HWND window = handleOf(call);
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  *call.result = script::makeString(call.engine, platform::asUtf16(text));
}

void setCaption(HostCall& call, const Value& value) {
  Value text;
  script::valueToString(call.engine, value, &text);
  std::u16string_view view = text.string()->view();
  std::wstring wide(view.begin(), view.end());
  SetWindowTextW(handleOf(call), wide.c_str());
}

void place(HWND window, const RECT& r) {
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kPlaceFlags);
}

// Edge writes: left and top move that edge and keep the opposite one; width and height keep the
// left or top edge.
template <LONG RECT::*Edge>
void getEdge(HostCall& call) { call.result->setInteger(windowBounds(handleOf(call)).*Edge); }

template <LONG RECT::*Edge>
void setEdge(HostCall& call, const Value& value) {
  if (value.tag != script::Tag::Integer) return;
  RECT bounds = windowBounds(handleOf(call));
  bounds.*Edge = LONG(value.integer());
  place(handleOf(call), bounds);
}

void width(HostCall& call) {
  RECT r = windowBounds(handleOf(call));
  call.result->setInteger(r.right - r.left);
}

void height(HostCall& call) {
  RECT r = windowBounds(handleOf(call));
  call.result->setInteger(r.bottom - r.top);
}

void setWidth(HostCall& call, const Value& value) {
  if (value.tag != script::Tag::Integer) return;
  RECT r = windowBounds(handleOf(call));
  r.right = r.left + LONG(value.integer());
  place(handleOf(call), r);
}

void setHeight(HostCall& call, const Value& value) {
  if (value.tag != script::Tag::Integer) return;
  RECT r = windowBounds(handleOf(call));
  r.bottom = r.top + LONG(value.integer());
  place(handleOf(call), r);
}

// The real parent, not the owner of a top-level window; the desktop counts as none.
HWND parentOf(HWND window) {
  HWND parent = GetAncestor(window, GA_PARENT);
  return parent == GetDesktopWindow() ? nullptr : parent;
}

void parent(HostCall& call) { windowValue(call.engine, parentOf(handleOf(call)), call.result); }

void setParent(HostCall& call, const Value& value) {
  if (HWND parent = windowObjectHandle(call.engine, value)) SetParent(handleOf(call), parent);
}

void handle(HostCall& call) {
  call.result->setInteger(int64_t(reinterpret_cast<uintptr_t>(handleOf(call))));
}

void className(HostCall& call) {
  wchar_t name[kClassNameLength + 1] = {};
  int length = GetClassNameW(handleOf(call), name, kClassNameLength + 1);
  *call.result = script::makeString(call.engine, platform::asUtf16(std::wstring_view(name, size_t(length > 0 ? length : 0))));
}

void visible(HostCall& call) { call.result->setBoolean(IsWindowVisible(handleOf(call))); }

void enable(HostCall& call) { call.result->setBoolean(IsWindowEnabled(handleOf(call))); }

void setEnable(HostCall& call, const Value& value) {
  EnableWindow(handleOf(call), script::valueToBoolean(call.engine, value));
}

const char16_t kMinimized[] = u"minimized";
const char16_t kMaximized[] = u"maximized";
const char16_t kNormal[] = u"normal";

void windowState(HostCall& call) {
  HWND window = handleOf(call);
  const char16_t* state = IsIconic(window) ? kMinimized : IsZoomed(window) ? kMaximized : kNormal;
  *call.result = script::makeString(call.engine, std::u16string_view(state));
}

bool sameWord(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? char16_t(text[i] + 32) : text[i];
    if (c != word[i]) return false;
  }
  return true;
}

// An integer is a ShowWindow command as it stands (0 does nothing); the state names pick theirs.
void setWindowState(HostCall& call, const Value& value) {
  int command = 0;
  if (value.tag == script::Tag::Integer) {
    command = int(value.integer());
  } else if (value.tag == script::Tag::String) {
    std::u16string_view text = value.string()->view();
    command = sameWord(text, kNormal) ? SW_SHOWNORMAL
            : sameWord(text, kMaximized) ? SW_SHOWMAXIMIZED
            : sameWord(text, kMinimized) ? SW_SHOWMINIMIZED : 0;
  }
  if (command != 0) ShowWindow(handleOf(call), command);
}

template <WindowEvent Event>
void handler(HostCall& call) {
  WindowHook* hook = windowOf(call).hook;
  if (hook && hook->hasHandler(Event)) {
    *call.result = hook->handlers[size_t(Event)];
  } else {
    call.result->setNull();
  }
}

// Only a function is taken; anything else leaves the installed handler in place.
template <WindowEvent Event>
void setHandler(HostCall& call, const Value& value) {
  WindowHook* hook = windowOf(call).hook;
  if (hook && value.tag == script::Tag::Function) hook->handlers[size_t(Event)] = value;
}

const script::HostPropertyEntry kProperties[] = {
    {"caption", caption, setCaption},
    {"left", getEdge<&RECT::left>, setEdge<&RECT::left>},
    {"top", getEdge<&RECT::top>, setEdge<&RECT::top>},
    {"width", width, setWidth},
    {"height", height, setHeight},
    {"parent", parent, setParent},
    {"handle", handle},
    {"className", className},
    {"visible", visible},
    {"enable", enable, setEnable},
    {"windowState", windowState, setWindowState},
    {"onQueryClose", handler<WindowEvent::QueryClose>, setHandler<WindowEvent::QueryClose>},
    {"onClose", handler<WindowEvent::Close>, setHandler<WindowEvent::Close>},
    {"onEnter", handler<WindowEvent::Enter>, setHandler<WindowEvent::Enter>},
    {"onLeave", handler<WindowEvent::Leave>, setHandler<WindowEvent::Leave>},
    {"onHover", handler<WindowEvent::Hover>, setHandler<WindowEvent::Hover>},
    {"onSize", handler<WindowEvent::Size>, setHandler<WindowEvent::Size>},
    {"omMove", handler<WindowEvent::Move>, setHandler<WindowEvent::Move>},
    {"onExitSizeMove", handler<WindowEvent::ExitSizeMove>, setHandler<WindowEvent::ExitSizeMove>},
    {"onEnterSizeMove", handler<WindowEvent::EnterSizeMove>, setHandler<WindowEvent::EnterSizeMove>},
    {"onMoving", handler<WindowEvent::Moving>, setHandler<WindowEvent::Moving>},
    {"onSizing", handler<WindowEvent::Sizing>, setHandler<WindowEvent::Sizing>},
    {"onDeactivate", handler<WindowEvent::Deactivate>, setHandler<WindowEvent::Deactivate>},
    {"onActivate", handler<WindowEvent::Activate>, setHandler<WindowEvent::Activate>},
};

}  // namespace

RECT windowBounds(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = GetParent(window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

std::span<const script::HostPropertyEntry> windowProperties() { return kProperties; }

}  // namespace vexil::hostobjects
