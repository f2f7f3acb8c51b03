#pragma once
// The script host handle: one record that owns an engine and the options it was made with, defines
// the global functions eval and evals, and runs script files, compiled files and texts.
//
// The options are twelve words (48 bytes on the product's 32-bit target): the stack size, an
// unused word, the engine's user word, the option flags, four reserved words, the break hook with
// its data word and two host values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/compiler/compile_options.h"
#include "script/runtime/engine.h"

namespace vexil::script {

class ClassRegistry;

// Option flags (word 3).
inline constexpr uint32_t kHostCreationFlag = 1u << 1;
inline constexpr uint32_t kHostBehaviour1 = 1u << 2;
inline constexpr uint32_t kHostBehaviour2 = 1u << 3;
inline constexpr uint32_t kHostDebugInfo = 0x20;
inline constexpr uint32_t kHostWarnUndefinedVariables = 0x200;
inline constexpr uint32_t kDefaultHostFlags = 0x58200;

struct ScriptHostOptions {
  uint32_t stackSize = kDefaultStackSize;
  uint32_t unused = 2;
  uint32_t userWord = 0;
  uint32_t flags = kDefaultHostFlags;
  uint32_t reserved[4] = {};
  CollectionHook breakHook = nullptr;
  void* breakHookData = nullptr;
  intptr_t hostValue = 0;
  intptr_t hostValue2 = -1;
};

static_assert(sizeof(void*) != 4 || sizeof(ScriptHostOptions) == 48);

struct ScriptHost {
  ScriptHostOptions options;
  Engine* engine = nullptr;
  // The diagnostics of the last compilation made through the handle (warnings stay here even when
  // the run that followed cleared the message buffer).
  std::string diagnostics;
};

// The CompileOptions the flags ask for (debug information, semicolon and line-terminator warnings,
// the bits carried for the host, and the optimisation passes, which always run).
CompileOptions compileOptionsFor(const ScriptHostOptions& options);

// Null options: the defaults. Null classes: only the well-known atoms and eval and evals. Null when
// the engine cannot be made.
ScriptHost* createScriptHost(const ScriptHostOptions* options, const ClassRegistry* classes);
void destroyScriptHost(ScriptHost* host);

// Each run answers success; the result is the engine's last result, a failure's text is in the
// message buffer (compile diagnostics also in host.diagnostics).
// ".vxc" is compiled, ".vxs" is source; any other file is compiled when "VS1b" follows an optional
// "#" first line.
bool runScriptFile(ScriptHost& host, const std::string& path);
bool runCompiledFile(ScriptHost& host, const std::string& path);
bool runScriptText(ScriptHost& host, std::string_view text);
// The first `length` bytes of the text.
bool runScriptText(ScriptHost& host, const char* text, size_t length);

// Where the last failed run of the engine stopped: the function, source name and line, counted
// from 0 as the line records are (-1 when the code has no line records). Empty names when no run
// has failed.
struct FailureLocation {
  std::string functionName;
  std::string sourceName;
  int32_t line = -1;
};
FailureLocation lastFailureLocation(const Engine& engine);

}  // namespace vexil::script
