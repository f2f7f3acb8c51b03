#include "script/runtime/engine.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/environment.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/collector.h"
#include "script/runtime/heap_internal.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/value_array.h"

namespace vexil::script {

namespace {

// Interned first, so that their numbers are the kAtom constants.
constexpr const char* kWellKnownAtoms[] = {"__proto__", "prototype", "toSource", "toString", "valueOf"};

bool stressRequested() {
  auto value = platform::environmentVariable(kCollectorStressVariable);
  return value && !value->empty() && *value != "0";
}

void initialise(Engine& engine, const EngineConfig& config) {
  for (const char* name : kWellKnownAtoms) intern(engine, name);
  if (config.classes) config.classes->run(engine);
}

// Pool strings own their characters outside the heap; nothing else frees them.
void releasePoolCharacters(Engine& engine) {
  for (uint32_t i = 0; i < engine.constants.count; ++i) {
    const Value& v = engine.constants.data[i];
    if (v.tag != Tag::String) continue;
    ScriptString* s = v.string();
    if (s->flags & kStringPoolOwned) {
      std::free(const_cast<char16_t*>(s->chars));
      s->chars = nullptr;
    }
  }
}

}  // namespace

Engine* createEngine(const EngineConfig& config) {
  auto* engine = new (std::nothrow) Engine();
  if (!engine) return nullptr;
  engine->userWord = config.userWord;
  engine->options = config.options;
  engine->entries = config.entries;
  engine->heap.systemLimit = config.heapLimit;
  engine->stackSize = config.stackSize ? config.stackSize : kDefaultStackSize;
  engine->stack = static_cast<Value*>(std::calloc(engine->stackSize, sizeof(Value)));
  if (!engine->stack) {
    delete engine;
    return nullptr;
  }
  engine->sp = engine->stack + engine->stackSize - 1;
  bool ok = protectedCall(*engine, [&] {
    engine->collectorStress = config.collectorStress || stressRequested();
    engine->markStack.reserve(256);
    initialise(*engine, config);
  });
  if (!ok) {
    destroyEngine(engine);
    return nullptr;
  }
  return engine;
}

void destroyEngine(Engine* engine) {
  if (!engine) return;
  releasePoolCharacters(*engine);
  sweepAll(*engine);
  releaseValues(engine->constants);
  releaseAtoms(*engine);
  releaseValues(engine->globals);
  std::free(engine->stack);
  releaseChunks(engine->heap);
  delete engine;
}

uint32_t addConstant(Engine& engine, const Value& value) {
  const Value copy = value;
  reserveValues(engine, engine.constants, engine.constants.count + 1);
  engine.constants.data[engine.constants.count] = copy;
  return engine.constants.count++;
}

uint32_t addStringConstant(Engine& engine, const char16_t* units, uint32_t length) {
  reserveValues(engine, engine.constants, engine.constants.count + 1);
  char16_t* copy = nullptr;
  if (length) {
    copy = static_cast<char16_t*>(std::malloc(size_t(length) * sizeof(char16_t)));
    if (!copy) raiseOutOfMemory(engine);
    std::memcpy(copy, units, size_t(length) * sizeof(char16_t));
  }
  Value v;
  try {
    v = makeStaticString(engine, copy, length);
  } catch (...) {
    std::free(copy);
    throw;
  }
  v.string()->flags |= kStringPoolOwned;
  engine.constants.data[engine.constants.count] = v;
  return engine.constants.count++;
}

Value* pushValue(Engine& engine, const Value& value) {
  // Slot 0 stays free, so the stack pointer never points before the stack.
  if (engine.sp <= engine.stack) raiseError(engine, "%s", kStackOverflow);
  *engine.sp = value;
  return engine.sp--;
}

}  // namespace vexil::script
