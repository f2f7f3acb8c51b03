#include "host/hostobjects/window_handlers.h"

#include <optional>
#include <string>

#include "host/hostobjects/host_context.h"
#include "host/mainwnd/script_bridge.h"
#include "script/runtime/arguments.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/engine.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/uncaught_errors.h"

namespace vexil::hostobjects {

namespace {

using script::Engine;
using script::Value;

// A handler can run in the middle of another run (a window message sent by a script's own call):
// what that run has in the engine's last result and message buffer is put back afterwards.
class EngineStateGuard {
 public:
  EngineStateGuard(Engine& engine, script::StackRoots& roots)
      : engine_(engine), result_(roots.hold(engine.lastResult)), message_(engine.message) {}
  ~EngineStateGuard() {
    engine_.lastResult = *result_;
    snprintf(engine_.message, sizeof engine_.message, "%s", message_.c_str());
  }
  EngineStateGuard(const EngineStateGuard&) = delete;
  EngineStateGuard& operator=(const EngineStateGuard&) = delete;

 private:
  Engine& engine_;
  Value* result_;
  std::string message_;
};


}  // namespace

bool runHandler(WindowHook& hook, WindowEvent event, const HandlerArguments& makeArguments,
                const HandlerResult& readResult) {
  if (!hook.engine || !hook.hasHandler(event)) return false;
  Engine& engine = *hook.engine;
  // The main window's close waits while this runs, so the engine outlives the handler.
  std::optional<mainwnd::ScriptBridge::Nested> nested;
  if (mainwnd::ScriptBridge* bridge = hostContext().bridge) nested.emplace(*bridge);

  bool answered = false;
  script::protectedCall(engine, [&] {
    script::StackRoots roots(engine);
    EngineStateGuard state(engine, roots);
    Value* callee = roots.hold(hook.handlers[size_t(event)]);
    Value* self = roots.hold(hook.self());
    std::vector<Value> block = makeArguments ? makeArguments(engine, roots) : script::argumentBlock({});
    if (!script::callValueOn(engine, *callee, *self, block.data())) {
      script::reportUncaught(engine, kHandlerFailedPrefix);
      return;
    }
    Value* result = roots.hold(engine.lastResult);
    if (readResult) readResult(engine, *result);
    answered = true;
  });
  return answered;
}

}  // namespace vexil::hostobjects
