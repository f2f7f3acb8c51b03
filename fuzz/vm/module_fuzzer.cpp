// Any bytes as a compiled module, loaded and run in a fresh engine with the core classes. A
// malformed module must be rejected or fail with a runtime error; runaway code is stopped by the
// break hook at its first call, and the value stack bounds deep recursion.
#include <cstddef>
#include <cstdint>
#include <span>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto script = readCompiledScript(std::span<const uint8_t>(data, size));
  if (!script) return 0;
  EngineConfig config;
  config.stackSize = 1024;
  config.entries = machineEntries();
  config.classes = &coreClasses();
  config.heapLimit = 64u << 20;
  Engine* engine = createEngine(config);
  if (!engine) return 0;
  engine->collectionHook = stopAtOnce;
  runCompiledScript(*engine, *script);
  runCompiledScript(*engine, *script);  // the second run reuses the module's constants
  destroyEngine(engine);
  return 0;
}
