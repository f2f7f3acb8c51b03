#pragma once
// The player commands a movie sends through FSCommand, and where each one goes. Verbs compare
// without regard to case; anything else is ignored.
#include <string>
#include <string_view>

namespace vexil::mainwnd {

inline constexpr const char* kVerbQuitScripts = "Vexil_Quit";
inline constexpr const char* kVerbRun = "Vexil_Run";
inline constexpr const char* kVerbAsyncRun = "Vexil_AsynRun";
inline constexpr const char* kVerbEval = "Vexil_Eval";
inline constexpr const char* kVerbFile = "Vexil_File";
inline constexpr const char* kVerbTrace = "Vexil_Trace";
inline constexpr const char* kVerbQuit = "quit";
inline constexpr const char* kVerbExec = "exec";

// What the commands act on: the main window. Every handler takes the command's argument; those
// that need none ignore it.
class FsCommandTarget {
 public:
  virtual ~FsCommandTarget() = default;
  virtual void quitScripts(const std::string& unused) = 0;         // Vexil_Quit
  virtual void runPackagedScript(const std::string& name) = 0;     // Vexil_Run
  virtual void queueScript(const std::string& name) = 0;           // Vexil_AsynRun
  virtual void evaluate(const std::string& source) = 0;            // Vexil_Eval
  virtual void runScriptFile(const std::string& path) = 0;         // Vexil_File
  virtual void closeProgram(const std::string& unused) = 0;        // quit
  virtual void execute(const std::string& commandLine) = 0;        // exec
};

// Sends one command to its handler. False when the verb is no command; "Vexil_Trace" is one, and
// does nothing.
bool dispatchFsCommand(FsCommandTarget& target, std::string_view verb, const std::string& argument);

}  // namespace vexil::mainwnd
