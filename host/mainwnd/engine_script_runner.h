#pragma once
// The script runner the product uses: one script host (engine, eval and evals) made on the first
// run that needs it, with every class this build registers. Packaged compiled scripts are decoded
// once per host: their constants stay loaded in the engine, so a second run of the same script
// reuses them.
#include <map>
#include <memory>
#include <string>

#include "host/mainwnd/runaway_guard.h"
#include "host/package/run_log.h"
#include "host/mainwnd/script_runner.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/class_registration.h"
#include "script/vm/script_host.h"

namespace vexil::mainwnd {

// What the host's script objects do for the runner: the start-up hooks, the script's cursor and
// the trace file live with them. They connect themselves when they are added to a registry;
// until then the runner answers as if no script had installed anything.
struct HostObjectServices {
  std::optional<std::string> (*pathHook)(script::Engine& engine, ScriptHook hook) = nullptr;
  void (*movieLoaded)(script::Engine& engine, const std::string& path) = nullptr;
  HCURSOR (*cursor)() = nullptr;
  void (*closeTrace)(script::Engine& engine) = nullptr;
  bool (*menuCommand)(script::Engine& engine, uint32_t id) = nullptr;
  bool (*translateAccelerator)(script::Engine& engine, MSG& msg, HWND target) = nullptr;
};
void setHostObjectServices(const HostObjectServices& services);
// Where the engines of this process log the errors no script caught (the saver's error log); none
// when null.
void setFailureLog(package::RunLog* log);

class EngineScriptRunner final : public ScriptRunner {
 public:
  // The guard stops scripts that run on while the user tries to wake the screensaver.
  explicit EngineScriptRunner(script::ClassRegistry classes, RunawayGuard guard = RunawayGuard());
  ~EngineScriptRunner() override;

  bool hostExists() const override { return host_ != nullptr; }
  // While a script is running on the host (a command's script pumping messages, a timer's
  // callback) the host cannot go at once: it goes as soon as that call has returned.
  void destroyHost() override;

  void runCompiled(const std::string& name, std::span<const uint8_t> script, uintptr_t& state) override;
  void evaluate(const std::string& source) override;
  void runFile(const std::string& path) override;

  std::optional<bool> lastResultBoolean() const override;
  std::optional<std::string> callHook(ScriptHook hook) override;
  void movieLoaded(const std::string& path) override;

  bool menuCommand(UINT id) override;
  bool translateAccelerator(MSG& msg, HWND target) override;
  HCURSOR cursor() const override;
  void closeTrace() override;

  // The host, made when there is none; null when the engine cannot be made.
  script::ScriptHost* host();

 private:
  // A failed run leaves its message in the engine: it goes to the debugger output.
  void reportFailure(bool ok, std::string_view sourceName) const;
  // True while a call into the host's engine is in progress.
  bool inCall() const;
  // Destroys the host now if its destruction waits and nothing runs on it any more.
  void finishPendingDestroy();
  void releaseHost();
  static void CALLBACK retryDestroy(HWND, UINT, UINT_PTR id, DWORD);

  script::ClassRegistry classes_;
  RunawayGuard guard_;
  script::ScriptHost* host_ = nullptr;
  // Decoded packaged scripts, by name; they belong to the host's engine and go with it.
  std::map<std::string, std::unique_ptr<script::CompiledScript>> modules_;
  bool destroyPending_ = false;
  UINT_PTR retryTimer_ = 0;
};

}  // namespace vexil::mainwnd
