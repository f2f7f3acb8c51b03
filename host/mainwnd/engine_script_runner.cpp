#include "host/mainwnd/engine_script_runner.h"

#include "script/vm/machine.h"

namespace vexil::mainwnd {

EngineScriptRunner::EngineScriptRunner(script::ClassRegistry classes) : classes_(std::move(classes)) {}

EngineScriptRunner::~EngineScriptRunner() { destroyHost(); }

void EngineScriptRunner::destroyHost() {
  modules_.clear();
  if (host_) script::destroyScriptHost(host_);
  host_ = nullptr;
}

script::ScriptHost* EngineScriptRunner::host() {
  if (!host_) host_ = script::createScriptHost(nullptr, &classes_);
  return host_;
}

void EngineScriptRunner::reportFailure(bool ok) const {
  if (ok || !host_) return;
  std::string text = host_->engine->message;
  auto where = script::lastFailureLocation(*host_->engine);
  if (where.line > 0) text += " (" + where.sourceName + ":" + std::to_string(where.line) + ")";
  text += "\r\n";
  OutputDebugStringA(text.c_str());
}

void EngineScriptRunner::runCompiled(const std::string& name, std::span<const uint8_t> bytes, uintptr_t& state) {
  if (!host()) return;
  auto& module = modules_[name];
  if (!module) {
    auto decoded = script::readCompiledScript(bytes);
    if (!decoded) {
      modules_.erase(name);
      return;
    }
    module = std::make_unique<script::CompiledScript>(std::move(*decoded));
  }
  state = reinterpret_cast<uintptr_t>(module.get());
  reportFailure(script::runCompiledScript(*host_->engine, *module));
}

void EngineScriptRunner::evaluate(const std::string& source) {
  if (host()) reportFailure(script::runScriptText(*host_, source));
}

void EngineScriptRunner::runFile(const std::string& path) {
  if (host()) reportFailure(script::runScriptFile(*host_, path));
}

std::optional<bool> EngineScriptRunner::lastResultBoolean() const {
  if (!host_) return std::nullopt;
  const script::Value& result = host_->engine->lastResult;
  if (result.tag != script::Tag::Boolean) return std::nullopt;
  return result.boolean();
}

// The start-up hooks belong to the Application object; until it exists no hook is installed.
std::optional<std::string> EngineScriptRunner::callHook(ScriptHook) { return std::nullopt; }

}  // namespace vexil::mainwnd
