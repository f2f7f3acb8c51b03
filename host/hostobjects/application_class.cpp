// The Application script object: the command line, the player's base, file associations, timers,
// the trace file, window messages, the cursor, the start-up hooks and the player window's mouse
// capture and focus. Its instance data is the engine's ApplicationState.
#include <windows.h>

#include "host/hostobjects/app_paths.h"
#include "host/hostobjects/application_class.h"
#include "host/hostobjects/application_state.h"
#include "host/hostobjects/command_items.h"
#include "host/hostobjects/file_association.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/player_base.h"
#include "host/hostobjects/preferences_class.h"
#include "host/hostobjects/script_cursor.h"
#include "host/mainwnd/main_wnd.h"
#include "host/mainwnd/script_bridge.h"
#include "platform/file_system.h"
#include "platform/text_case.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {
namespace {

using script::Arguments;
using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Tag;
using script::Value;

ApplicationState& stateOf(HostCall& call) { return *call.instance<ApplicationState>(); }


HWND playerWindow() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->player().handle() : nullptr;
}

// ---- methods

void getBasePath(HostCall& call) {
  auto base = playerBase();
  if (base) {
    *call.result = script::makeStringFromAnsi(call.engine, *base);
  } else {
    call.result->setNull();
  }
}

// The directory the argument names: none, "movies", "attachments", or an existing path.
std::optional<std::string> baseDirectory(const Arguments& args) {
  if (args.count() == 0) return platform::directoryOf(executableFile());
  auto path = args.ansi(1);
  if (!path) return std::nullopt;
  if (platform::equalsIgnoringAsciiCase(*path, "movies")) return firstMovieDirectory();
  if (platform::equalsIgnoringAsciiCase(*path, "attachments")) return attachmentsDirectory();
  if (!platform::fileExists(*path)) return std::nullopt;
  return *path;
}

void setBasePath(HostCall& call) {
  auto directory = baseDirectory(call.args);
  if (directory) setPlayerBase(baseUrlFor(*directory));
}

void associate(HostCall& call) {
  auto extension = call.args.ansi(1);
  auto typeName = call.args.ansi(2);
  if (extension && typeName) associateFileType(*extension, *typeName);
}

// The arguments from index first on, as an argument block.
std::vector<Value> argumentsFrom(const Arguments& args, uint32_t first) {
  std::vector<Value> block{Value::fromInteger(0)};
  for (uint32_t i = first; i <= args.count(); ++i) block.push_back(*args.at(i));
  block[0].setInteger(int64_t(block.size() - 1));
  return block;
}

// Periods are integers only: a double, even a whole one, is refused.
std::optional<UINT> periodAt(const Arguments& args, uint32_t i) {
  if (!args.has(i, Tag::Integer)) return std::nullopt;
  int64_t period = args.at(i)->integer();
  if (period < 0 || period > int64_t(USER_TIMER_MAXIMUM)) return std::nullopt;
  return UINT(period);
}

// setInterval(function, period, args...) or setInterval(object, "method", period, args...).
void setInterval(HostCall& call) {
  call.result->setInteger(0);
  const Arguments& args = call.args;
  TimerRecord record;
  std::optional<UINT> period;
  uint32_t first;
  if (args.callable(1) && (period = periodAt(args, 2))) {
    record.callee = *args.at(1);
    first = 3;
  } else if (args.count() >= 1 && args.has(2, Tag::String) && (period = periodAt(args, 3))) {
    record.callee = *args.at(1);
    record.method = *args.ansi(2);
    first = 4;
  } else {
    return;
  }
  record.args = argumentsFrom(args, first);
  call.result->setInteger(int64_t(stateOf(call).timers.start(std::move(record), *period)));
}

void clearInterval(HostCall& call) {
  if (call.args.has(1, Tag::Integer)) stateOf(call).timers.clear(UINT_PTR(call.args.at(1)->integer()));
}

// With a path, answers whether the file opened, so a script can tell a missing folder from a quiet
// trace; stopping answers nothing.
void traceToFile(HostCall& call) {
  TraceFile& trace = stateOf(call).trace;
  trace.close();
  if (auto path = call.args.ansi(1)) call.result->setBoolean(trace.open(*path));
}

void sendMessage(HostCall& call) {
  const Arguments& args = call.args;
  if (!args.has(1, Tag::Integer) || !args.has(2, Tag::Integer)) return;
  auto word = [&](uint32_t i) { return args.has(i, Tag::Integer) ? args.at(i)->integer() : 0; };
  HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(args.at(1)->integer()));
  LRESULT answer = SendMessageA(window, UINT(args.at(2)->integer()), WPARAM(word(3)), LPARAM(word(4)));
  call.result->setInteger(int64_t(answer));
}

// ---- properties

void getPreferences(HostCall& call) { *call.result = preferencesObject(call.engine); }

void getCommandLine(HostCall& call) { *call.result = script::makeStringFromAnsi(call.engine, GetCommandLineA()); }

void getCommandItems(HostCall& call) {
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  uint64_t index = 0;
  for (const std::string& item : commandItems(GetCommandLineA())) {
    script::storeElement(call.engine, *array, index++, script::makeStringFromAnsi(call.engine, item));
  }
}

void getNothing(HostCall&) {}
void getNull(HostCall& call) { call.result->setNull(); }
void getTrue(HostCall& call) { call.result->setBoolean(true); }
void getFalse(HostCall& call) { call.result->setBoolean(false); }

void setCursor(HostCall&, const Value& value) {
  if (value.tag == Tag::Null) {
    clearScriptCursor();
  } else if (value.tag == Tag::String) {
    setScriptCursor(script::stringToAnsiText(*value.string()));
  }
}

template <StartupHook Which>
void getHook(HostCall& call) {
  *call.result = stateOf(call).hook(Which);
}

// Only a function installs a hook; anything else leaves the installed one.
template <StartupHook Which>
void setHook(HostCall& call, const Value& value) {
  if (value.tag == Tag::Function) stateOf(call).hook(Which) = value;
}

void getCaptureMouse(HostCall& call) {
  HWND player = playerWindow();
  call.result->setBoolean(player && GetCapture() == player);
}

void setCaptureMouse(HostCall& call, const Value& value) {
  HWND player = playerWindow();
  if (!player) return;
  if (script::valueToBoolean(call.engine, value)) {
    SetCapture(player);
  } else if (GetCapture() == player) {
    ReleaseCapture();
  }
}

void getSetFocus(HostCall& call) {
  HWND player = playerWindow();
  call.result->setBoolean(player && GetFocus() == player);
}

void setSetFocus(HostCall& call, const Value& value) {
  HWND player = playerWindow();
  if (player && script::valueToBoolean(call.engine, value)) SetFocus(player);
}

const script::HostMethodEntry kMethods[] = {
    {"getBasePath", getBasePath},     {"setBasePath", setBasePath},     {"associate", associate},
    {"setInterval", setInterval},     {"clearInterval", clearInterval}, {"traceToFile", traceToFile},
    {"sendMessage", sendMessage},
};

const script::HostPropertyEntry kProperties[] = {
    {"Preferences", getPreferences},
    {"cmdLine", getCommandLine},
    {"cmdItems", getCommandItems},
    {"cursor", getNothing, setCursor},
    {"traceWnd", getNull},
    {"onGetMovie", getHook<StartupHook::GetMovie>, setHook<StartupHook::GetMovie>},
    {"onGetFlashPlayer", getHook<StartupHook::GetFlashPlayer>, setHook<StartupHook::GetFlashPlayer>},
    {"onMovieLoaded", getHook<StartupHook::MovieLoaded>, setHook<StartupHook::MovieLoaded>},
    {"isScr", getTrue},
    {"isPreview", getFalse},
    {"captureMouse", getCaptureMouse, setCaptureMouse},
    {"setFocus", getSetFocus, setSetFocus},
};

// The wake-up bits of the settings, as scripts name them.
const script::HostConstant kWakeUpConstants[] = {
    {"$WULEFTBUTTON", 1}, {"$WURIGHTBUTTON", 2}, {"$WUMOUSEMOVE", 4},
    {"$WUKEYSTROKE", 8},  {"$WUESC", 16},        {"$WUHOTKEY", 32},
};

// The engine's hooks, timers and trace file: the class's per-engine state, which the global
// "Application" borrows as its instance data.
const script::HostClassState kApplicationState = {
    [](Engine& engine) -> void* { return new ApplicationState(engine); },
    [](void* state) { delete static_cast<ApplicationState*>(state); },
    [](Engine&, void* state) { static_cast<ApplicationState*>(state)->mark(); },
};

const script::HostClassInfo kApplicationClass = {
    .name = "Application",
    .methods = kMethods,
    .properties = kProperties,
    .constants = {},
    .state = &kApplicationState,
};

}  // namespace

ApplicationState* applicationState(const Engine& engine) {
  return script::hostState<ApplicationState>(engine, kApplicationClass);
}

// The global "Application" is the one instance, whose data is the engine's state; then
// Preferences, then the constants, in that order.
void registerApplication(Engine& engine) {
  // Script an automation server runs (its events) counts as a script run: the main window's
  // close waits for it, as for a timer or a window handler.
  engine.outsideRunHook = [](void*, bool begins) {
    if (mainwnd::ScriptBridge* bridge = hostContext().bridge) {
      if (begins) bridge->enterNested();
      else bridge->leaveNested();
    }
  };
  NativeClass* cls = script::defineHostClass(engine, kApplicationClass);
  Value application;
  // Borrowed: the class has no release, the state goes with the engine.
  script::makeNative(engine, &application, cls, script::hostState<ApplicationState>(engine, kApplicationClass));
  script::globalSlot(engine, "Application") = application;
  registerPreferences(engine);
  for (const script::HostConstant& constant : kWakeUpConstants) {
    script::defineConstant(engine, constant.name, constant.value);
  }
}

}  // namespace vexil::hostobjects
