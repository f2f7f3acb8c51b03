#pragma once
// The virtual machine as the rest of the system sees it: the entries it installs in an engine, and
// the host entry that loads and runs a compiled script.
#include "script/compiler/compiled_script.h"
#include "script/runtime/interpreter_entries.h"

namespace vexil::script {

struct Engine;
struct CodeRecord;

// The machine's entries, for EngineConfig::entries.
InterpreterEntries machineEntries();

// Loads the module and runs its ".main" (this = Null, no arguments) inside a protected call. The
// message buffer and last result are cleared first; on success the last result holds the value the
// run left; on failure the message buffer says why.
bool runCompiledScript(Engine& engine, CompiledScript& script);

// Runs code as the outermost frame of a new run (raising runtime errors to the caller's protected
// call); the result is left in the engine's last result.
void runCode(Engine& engine, CodeRecord* code, const Value* self, const Value* args, uint32_t blockSize);

}  // namespace vexil::script
