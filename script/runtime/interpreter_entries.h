#pragma once
// The entry points the virtual machine installs in an engine. The runtime itself never interprets
// code: it hands script functions to these entries, and error reports ask them where the running
// code is.
#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

struct SourcePosition {
  const char* sourceName = nullptr;  // null when unknown
  int32_t line = 0;
};

struct InterpreterEntries {
  // Runs a script function with `self` as this (null: this is Null) and an argument block of
  // blockSize values (element 0 the count). Leaves the result in the engine's last result; raises
  // runtime errors through the normal unwind.
  void (*runFunction)(Engine& engine, const Value* self, ScriptFunction* function, const Value* args,
                      uint32_t blockSize) = nullptr;
  // The name of the function whose code holds the current position (".main" for top-level code).
  const char* (*currentFunctionName)(Engine& engine) = nullptr;
  // The source name and line of the current position.
  SourcePosition (*currentSourcePosition)(Engine& engine) = nullptr;
  // Marks what the running code needs beyond the value stack (the code of its frames); called by
  // every collection.
  void (*markRunningCode)(Engine& engine) = nullptr;
};

}  // namespace vexil::script
