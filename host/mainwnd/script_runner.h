#pragma once
// Everything the host asks of the script side, in one place: running packaged, source and file
// scripts on the one script host, the hooks a start-up script may install, and the window-side
// services of the script objects (menu commands, accelerators, the cursor, the trace file).
// Until the engine is linked in, NullScriptRunner answers as a package without scripts would.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vexil::mainwnd {

// The start-up hooks a script can install; each may yield a path.
enum class ScriptHook {
  GetMovie,        // onGetMovie: the movie to play
  GetFlashPlayer,  // onGetFlashPlayer: a player control file to load
};

class ScriptRunner {
 public:
  virtual ~ScriptRunner() = default;

  virtual bool hostExists() const = 0;
  // Drops the script host and all script state; the next run creates a fresh one.
  virtual void destroyHost() = 0;

  // These create the host when there is none. A compiled script's state word is the engine's to
  // keep between runs of the same script.
  virtual void runCompiled(const std::string& name, std::span<const uint8_t> script, uintptr_t& state) = 0;
  virtual void evaluate(const std::string& source) = 0;
  virtual void runFile(const std::string& path) = 0;

  // The last run's result when it was a boolean.
  virtual std::optional<bool> lastResultBoolean() const = 0;
  // The path a hook yields; nothing when no host exists, the hook is not installed or it yields
  // no path.
  virtual std::optional<std::string> callHook(ScriptHook hook) = 0;
  // Tells the scripts that the player accepted the start-up movie (the onMovieLoaded hook).
  virtual void movieLoaded(const std::string&) {}

  // Menu commands of script menus; true when one was handled.
  virtual bool menuCommand(UINT id) = 0;
  // The accelerator tables of script menus, targeting the main window; true when translated.
  virtual bool translateAccelerator(MSG& msg, HWND target) = 0;
  // A cursor a script has set, or null.
  virtual HCURSOR cursor() const = 0;
  virtual void closeTrace() = 0;
};

class NullScriptRunner final : public ScriptRunner {
 public:
  bool hostExists() const override { return false; }
  void destroyHost() override {}
  void runCompiled(const std::string&, std::span<const uint8_t>, uintptr_t&) override {}
  void evaluate(const std::string&) override {}
  void runFile(const std::string&) override {}
  std::optional<bool> lastResultBoolean() const override { return std::nullopt; }
  std::optional<std::string> callHook(ScriptHook) override { return std::nullopt; }
  bool menuCommand(UINT) override { return false; }
  bool translateAccelerator(MSG&, HWND) override { return false; }
  HCURSOR cursor() const override { return nullptr; }
  void closeTrace() override {}
};

}  // namespace vexil::mainwnd
