#pragma once
// The process's bridge between the player and the scripts: the script runner, the cache of
// packaged compiled scripts, and the nesting count of script runs in progress (a close request
// waits while it is above zero, because a running script may pump messages).
#include <memory>
#include <string>

#include "host/mainwnd/script_runner.h"
#include "host/package/compiled_script_cache.h"

namespace vexil::mainwnd {

inline constexpr const char* kStartupScript = "Initialize";

class ScriptBridge {
 public:
  ScriptBridge(const package::ResourceSource& resources, std::unique_ptr<ScriptRunner> runner);

  ScriptRunner& runner() { return *runner_; }
  int nesting() const { return nesting_; }

  // Raises and lowers the nesting count, for runs that cannot hold a Nested (a hook's two calls).
  void enterNested() { ++nesting_; }
  void leaveNested() { --nesting_; }

  // Raises the nesting count for its lifetime.
  class Nested {
   public:
    explicit Nested(ScriptBridge& bridge) : bridge_(bridge) { ++bridge_.nesting_; }
    ~Nested() { --bridge_.nesting_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    ScriptBridge& bridge_;
  };

  // Runs the packaged compiled script of that name; a name the package lacks does nothing.
  void runPackagedScript(const std::string& name);
  // Runs "Initialize"; its outcome is the last result when that is a boolean, else true.
  bool runStartupScript();
  void evaluate(const std::string& source) { runner_->evaluate(source); }
  void runFile(const std::string& path) { runner_->runFile(path); }
  void quitScripts() { runner_->destroyHost(); }
  // The main window's end: the cache is emptied and the script host goes.
  void shutDown();

 private:
  std::unique_ptr<ScriptRunner> runner_;
  package::CompiledScriptCache cache_;
  int nesting_ = 0;
};

}  // namespace vexil::mainwnd
