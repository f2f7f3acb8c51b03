#pragma once
// Script functions for tests that run without a virtual machine: each Function value's code block
// holds the number of a C++ body, and the engine's run-function entry calls that body with this and
// the argument block, leaving its answer in the last result as the machine would.
#include <functional>
#include <vector>

#include "script/runtime/engine.h"
#include "script/runtime/heap.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"

namespace vexil::script::test {

using ScriptBody = std::function<Value(Engine& engine, const Value* self, const Value* args)>;

inline std::vector<ScriptBody>& scriptBodies() {
  static std::vector<ScriptBody> bodies;
  return bodies;
}

inline void runTestFunction(Engine& engine, const Value* self, ScriptFunction* function, const Value* args,
                            uint32_t) {
  uint32_t number = *reinterpret_cast<uint32_t*>(function->code);
  engine.lastResult = scriptBodies().at(number)(engine, self, args);
}

inline Value makeScriptFunction(Engine& engine, ScriptBody body) {
  scriptBodies().push_back(std::move(body));
  auto* code = static_cast<uint32_t*>(allocBlock(engine, sizeof(uint32_t)));
  *code = uint32_t(scriptBodies().size() - 1);
  auto* function = static_cast<ScriptFunction*>(allocBlock(engine, sizeof(ScriptFunction)));
  function->code = reinterpret_cast<CodeRecord*>(code);
  function->props = nullptr;
  Value v;
  v.setFunction(function);
  return v;
}

// A body that always answers the same value.
inline ScriptBody answering(Value answer) {
  return [answer](Engine&, const Value*, const Value*) { return answer; };
}

// A body that fails with a runtime error, as a script that throws would.
inline ScriptBody failing() {
  return [](Engine& engine, const Value*, const Value*) -> Value { raiseError(engine, "%s", "thrown"); };
}

}  // namespace vexil::script::test
