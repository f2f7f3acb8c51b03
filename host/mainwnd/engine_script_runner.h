#pragma once
// The script runner the product uses: one script host (engine, eval and evals) made on the first
// run that needs it, with every class this build registers. Packaged compiled scripts are decoded
// once per host: their constants stay loaded in the engine, so a second run of the same script
// reuses them.
#include <map>
#include <memory>
#include <string>

#include "host/mainwnd/script_runner.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/class_registration.h"
#include "script/vm/script_host.h"

namespace vexil::mainwnd {

class EngineScriptRunner final : public ScriptRunner {
 public:
  explicit EngineScriptRunner(script::ClassRegistry classes);
  ~EngineScriptRunner() override;

  bool hostExists() const override { return host_ != nullptr; }
  void destroyHost() override;

  void runCompiled(const std::string& name, std::span<const uint8_t> script, uintptr_t& state) override;
  void evaluate(const std::string& source) override;
  void runFile(const std::string& path) override;

  std::optional<bool> lastResultBoolean() const override;
  std::optional<std::string> callHook(ScriptHook hook) override;

  bool menuCommand(UINT) override { return false; }
  bool translateAccelerator(MSG&, HWND) override { return false; }
  HCURSOR cursor() const override { return nullptr; }
  void closeTrace() override {}

  // The host, made when there is none; null when the engine cannot be made.
  script::ScriptHost* host();

 private:
  // A failed run leaves its message in the engine: it goes to the debugger output.
  void reportFailure(bool ok) const;

  script::ClassRegistry classes_;
  script::ScriptHost* host_ = nullptr;
  // Decoded packaged scripts, by name; they belong to the host's engine and go with it.
  std::map<std::string, std::unique_ptr<script::CompiledScript>> modules_;
};

}  // namespace vexil::mainwnd
