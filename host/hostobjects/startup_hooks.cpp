#include "host/hostobjects/startup_hooks.h"

#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/uncaught_errors.h"

namespace vexil::hostobjects {
namespace {

using script::Value;

// The installed hook, copied: the call may install another one.
std::optional<Value> installedHook(script::Engine& engine, StartupHook which) {
  ApplicationState* state = applicationState(engine);
  if (!state || state->hook(which).tag != script::Tag::Function) return std::nullopt;
  return state->hook(which);
}

// The answer object's "value" when the hook's result converts to true and it is a string. The
// result and the object are read before anything else runs in the engine, so no collection can
// take them in between.
std::optional<std::string> answerOf(script::Engine& engine, script::PropertyTable* answer) {
  std::optional<std::string> path;
  script::protectedCall(engine, [&] {
    if (!script::valueToBoolean(engine, engine.lastResult)) return;
    Value value;
    if (!script::getProperty(engine, answer, script::intern(engine, "value"), &value)) return;
    if (value.tag == script::Tag::String) path = script::stringToAnsiText(*value.string());
  });
  return path;
}

}  // namespace

std::optional<std::string> callPathHook(script::Engine& engine, StartupHook which) {
  auto hook = installedHook(engine, which);
  if (!hook) return std::nullopt;
  script::PropertyTable* answer = nullptr;
  if (!script::protectedCall(engine, [&] { answer = script::newTable(engine); })) return std::nullopt;
  auto args = script::argumentBlock({Value::fromObject(answer)});
  if (!script::callValue(engine, *hook, args.data())) {
    script::reportUncaught(engine, kHookFailedPrefix);
    return std::nullopt;
  }
  return answerOf(engine, answer);
}

void callMovieLoadedHook(script::Engine& engine, const std::string& moviePath) {
  auto hook = installedHook(engine, StartupHook::MovieLoaded);
  if (!hook) return;
  Value path;
  if (!script::protectedCall(engine, [&] { path = script::makeStringFromAnsi(engine, moviePath); })) return;
  auto args = script::argumentBlock({path});
  if (!script::callValue(engine, *hook, args.data())) script::reportUncaught(engine, kHookFailedPrefix);
}

}  // namespace vexil::hostobjects
