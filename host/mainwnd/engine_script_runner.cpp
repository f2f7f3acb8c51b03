#include "host/mainwnd/engine_script_runner.h"

#include "script/vm/machine.h"

namespace vexil::mainwnd {
namespace {

HostObjectServices& services() {
  static HostObjectServices current;
  return current;
}

// The runners whose host waits to be destroyed, by the id of the thread timer that retries.
std::map<UINT_PTR, EngineScriptRunner*>& retrying() {
  static std::map<UINT_PTR, EngineScriptRunner*> map;
  return map;
}

}  // namespace

void setHostObjectServices(const HostObjectServices& s) { services() = s; }

EngineScriptRunner::EngineScriptRunner(script::ClassRegistry classes, RunawayGuard guard)
    : classes_(std::move(classes)), guard_(std::move(guard)) {}

EngineScriptRunner::~EngineScriptRunner() { releaseHost(); }

bool EngineScriptRunner::inCall() const { return host_ && host_->engine->errorFrames != nullptr; }

// A host that goes while one of its scripts still runs would pull the engine from under it. The
// destruction waits for the call to return: runs made through the runner finish it on their way
// out; for calls the runner does not see (a timer's callback), a thread timer tries again from the
// message loop.
void EngineScriptRunner::destroyHost() {
  if (!inCall()) {
    releaseHost();
    return;
  }
  destroyPending_ = true;
  if (retryTimer_) return;
  retryTimer_ = SetTimer(nullptr, 0, 0, retryDestroy);
  if (retryTimer_) retrying()[retryTimer_] = this;
}

void EngineScriptRunner::releaseHost() {
  if (retryTimer_) {
    KillTimer(nullptr, retryTimer_);
    retrying().erase(retryTimer_);
    retryTimer_ = 0;
  }
  destroyPending_ = false;
  modules_.clear();
  if (host_) script::destroyScriptHost(host_);
  host_ = nullptr;
}

void EngineScriptRunner::finishPendingDestroy() {
  if (destroyPending_ && !inCall()) releaseHost();
}

void CALLBACK EngineScriptRunner::retryDestroy(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = retrying().find(id);
  if (found == retrying().end()) {
    KillTimer(nullptr, id);
    return;
  }
  found->second->finishPendingDestroy();
}

script::ScriptHost* EngineScriptRunner::host() {
  finishPendingDestroy();
  if (!host_) {
    script::ScriptHostOptions options;
    options.breakHook = &RunawayGuard::check;
    options.breakHookData = &guard_;
    host_ = script::createScriptHost(&options, &classes_);
  }
  return host_;
}

void EngineScriptRunner::reportFailure(bool ok) const {
  if (ok || !host_) return;
  std::string text = host_->engine->message;
  auto where = script::lastFailureLocation(*host_->engine);
  // Lines counted from 1, as people count them.
  if (where.line >= 0) text += " (" + where.sourceName + ":" + std::to_string(int64_t(where.line) + 1) + ")";
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
  finishPendingDestroy();
}

void EngineScriptRunner::evaluate(const std::string& source) {
  if (host()) reportFailure(script::runScriptText(*host_, source));
  finishPendingDestroy();
}

void EngineScriptRunner::runFile(const std::string& path) {
  if (host()) reportFailure(script::runScriptFile(*host_, path));
  finishPendingDestroy();
}

std::optional<bool> EngineScriptRunner::lastResultBoolean() const {
  if (!host_) return std::nullopt;
  const script::Value& result = host_->engine->lastResult;
  if (result.tag != script::Tag::Boolean) return std::nullopt;
  return result.boolean();
}

// The hooks belong to the Application object of the host that exists; without a host none is
// installed.
std::optional<std::string> EngineScriptRunner::callHook(ScriptHook hook) {
  if (!host_ || destroyPending_ || !services().pathHook) return std::nullopt;
  auto path = services().pathHook(*host_->engine, hook);
  finishPendingDestroy();
  return path;
}

void EngineScriptRunner::movieLoaded(const std::string& path) {
  if (!host_ || destroyPending_ || !services().movieLoaded) return;
  services().movieLoaded(*host_->engine, path);
  finishPendingDestroy();
}

HCURSOR EngineScriptRunner::cursor() const { return services().cursor ? services().cursor() : nullptr; }

void EngineScriptRunner::closeTrace() {
  if (host_ && services().closeTrace) services().closeTrace(*host_->engine);
}

}  // namespace vexil::mainwnd
