// The application's global functions: getMainWnd, getAppDir, getMovies, readProfile,
// writeProfile, processMsg, getAdditionalFile, getExeName and invoke. (The URI coding functions
// of the same group come with String.)
#include "host/hostobjects/app_paths.h"
#include "host/hostobjects/application_class.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/process_messages.h"
#include "host/hostobjects/user_profile.h"
#include "host/hostobjects/window_object.h"
#include "host/mainwnd/main_wnd.h"
#include "host/mainwnd/script_bridge.h"
#include "host/package/movie_list.h"
#include "script/runtime/arguments.h"
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
using script::Value;

constexpr uint32_t kMovieKind = 1;

Value ansiString(Engine& engine, const std::string& text) { return script::makeStringFromAnsi(engine, text); }

// The Window object the Window class keeps for the main window; null when there is none.
void getMainWnd(HostCall& call) {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  *call.result = mainWindowObject(call.engine, window ? window->handle() : nullptr);
}

void getAppDir(HostCall& call) { *call.result = ansiString(call.engine, applicationDirectory()); }

void getMovies(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  script::ArrayRecord* array = script::newArray(engine);
  result->setArray(array);
  const package::MovieList* movies = hostContext().movies;
  if (!movies) return;
  uint64_t index = 0;
  for (const package::MovieEntry& entry : movies->entries) {
    if (entry.kind == kMovieKind) script::storeElement(engine, *array, index++, ansiString(engine, entry.path));
  }
}

void readProfile(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  auto section = args.ansi(1);
  auto entry = args.ansi(2);
  if (!section || !entry) return;
  if (auto text = readProfileString(*section, *entry)) *result = ansiString(engine, *text);
}

void writeProfile(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  auto section = args.ansi(1);
  auto entry = args.ansi(2);
  if (args.count() < 3 || !section || !entry) return;
  Value text;
  script::valueToString(engine, *args.at(3), &text);
  writeProfileString(*section, *entry, script::stringToAnsiText(*text.string()));
}

void processMsg(HostCall& call) { call.result->setBoolean(processMessages()); }

void getAdditionalFile(HostCall& call) {
  Engine& engine = call.engine;
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setNull();
  if (args.count() == 0) return;
  Value name;
  script::valueToString(engine, *args.at(1), &name);
  std::string path = additionalFile(script::stringToAnsiText(*name.string()));
  if (!path.empty()) *result = ansiString(engine, path);
}

void getExeName(HostCall& call) { *call.result = ansiString(call.engine, executableFile()); }

// As the movie's "Vexil_Run": the packaged script runs on this same script host, counted as a
// script run in progress.
void invoke(HostCall& call) {
  Value* result = call.result;
  const Arguments& args = call.args;
  result->setUndefined();
  auto name = args.ansi(1);
  mainwnd::ScriptBridge* bridge = hostContext().bridge;
  if (!name || !bridge) return;
  mainwnd::ScriptBridge::Nested nested(*bridge);
  bridge->runPackagedScript(*name);
}

const script::HostFunctionEntry kFunctions[] = {
    {"getMainWnd", getMainWnd},   {"getAppDir", getAppDir},   {"getMovies", getMovies},
    {"readProfile", readProfile}, {"writeProfile", writeProfile}, {"processMsg", processMsg},
    {"getAdditionalFile", getAdditionalFile}, {"getExeName", getExeName}, {"invoke", invoke},
};

}  // namespace

void registerApplicationFunctions(Engine& engine) {
  script::defineHostFunctions(engine, kFunctions);
}

}  // namespace vexil::hostobjects
