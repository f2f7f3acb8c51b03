// Any bytes as a compiled module, loaded and run in a fresh engine with the core classes. A
// malformed module must be rejected or fail with a runtime error; runaway code is stopped by the
// break hook at its first call, and the value stack bounds deep recursion. Each module runs in two
// engines, one with fused instructions and one without, and both must end the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "script/builtins/core_builtins.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/engine.h"
#include "script/vm/machine.h"

namespace {

using namespace vexil::script;

int stopAtOnce(int, void*) { return 1; }

const ClassRegistry& coreClasses() {
  static ClassRegistry registry = [] {
    ClassRegistry r;
    addCoreBuiltins(r);
    return r;
  }();
  return registry;
}

}  // namespace

namespace {

struct Outcome {
  bool first = false;
  bool second = false;
  std::string message;
};

bool runIn(const CompiledScript& original, bool fused, Outcome& out) {
  EngineConfig config;
  config.stackSize = 1024;
  config.entries = machineEntries();
  config.classes = &coreClasses();
  config.heapLimit = 64u << 20;
  Engine* engine = createEngine(config);
  if (!engine) return false;
  engine->collectionHook = stopAtOnce;
  engine->fuseInstructions = fused;
  CompiledScript script = original;  // each engine loads its own copy
  out.first = runCompiledScript(*engine, script);
  out.second = runCompiledScript(*engine, script);  // the second run reuses the module's constants
  out.message = engine->message;
  destroyEngine(engine);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto script = readCompiledScript(std::span<const uint8_t>(data, size));
  if (!script) return 0;
  Outcome fused, plain;
  if (!runIn(*script, true, fused) || !runIn(*script, false, plain)) return 0;
  if (fused.first != plain.first || fused.second != plain.second || fused.message != plain.message) std::abort();
  return 0;
}
