#include "host/mainwnd/script_bridge.h"

namespace vexil::mainwnd {

ScriptBridge::ScriptBridge(const package::ResourceSource& resources, std::unique_ptr<ScriptRunner> runner)
    : runner_(runner ? std::move(runner) : std::make_unique<NullScriptRunner>()), cache_(resources) {}

void ScriptBridge::runPackagedScript(const std::string& name) {
  package::CachedScript* script = cache_.find(name);
  if (!script) return;
  runner_->runCompiled(name, script->bytes, script->state);
}

bool ScriptBridge::runStartupScript() {
  Nested nested(*this);
  runPackagedScript(kStartupScript);
  if (!runner_->hostExists()) return true;
  return runner_->lastResultBoolean().value_or(true);
}

void ScriptBridge::shutDown() {
  cache_.clear();
  runner_->destroyHost();
}

}  // namespace vexil::mainwnd
