#pragma once
// The engine: one interpreter context per script host. It owns the heap, the atoms and global
// slots, the constant pool, the value stack, the class descriptors, the protected-call chain, the
// message buffer and the last result. Everything script-visible lives in its heap and goes with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "script/runtime/heap.h"
#include "script/runtime/interpreter_entries.h"
#include "script/runtime/regexp_hooks.h"
#include "script/runtime/value.h"

namespace vexil::script {

struct AtomNode;
struct ErrorFrame;
struct MachineRun;
struct NativeClass;
struct HostClassInfo;
struct HostFunctionEntry;
class ClassRegistry;

inline constexpr uint32_t kDefaultStackSize = 4096;
inline constexpr uint32_t kValueArrayGrowth = 1024;  // constant pool and global slots
inline constexpr int kAtomChainCount = 256;
inline constexpr size_t kMessageBufferSize = 1024;

// Option flags of an engine.
inline constexpr uint32_t kOptionCreationFlag = 1u << 0;
inline constexpr uint32_t kOptionWarnUndefinedVariables = 1u << 2;

// The well-known atoms, interned first in every engine.
inline constexpr Atom kAtomProto = 0;
inline constexpr Atom kAtomPrototype = 1;
inline constexpr Atom kAtomToSource = 2;
inline constexpr Atom kAtomToString = 3;
inline constexpr Atom kAtomValueOf = 4;

// Environment variable that switches new engines into collector stress mode.
inline constexpr const char kCollectorStressVariable[] = "VEXIL_GC_STRESS";

// A growable array of values in the system heap.
struct ValueArray {
  Value* data = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
};

using TraceOutput = void (*)(void* data, const char* line);
using CollectionHook = int (*)(int code, void* data);
using DeferredRelease = void (*)(void* data);

// A class an engine made from a host-class description. The engine keeps every one for its whole
// life (they are collector roots), so host code can always reach its class and its per-engine
// state whatever a script does to the global of the class's name.
struct HostClassRecord {
  const HostClassInfo* info;
  NativeClass* cls;
};

struct Engine {
  uintptr_t userWord = 0;
  uint32_t options = 0;
  InterpreterEntries entries;
  RegExpHooks regexp;  // filled by the RegExp class

  ValueArray constants;
  AtomNode* atomChains[kAtomChainCount] = {};
  ValueArray globals;  // indexed by atom; count is the number of atoms
  uint32_t functionBase = 0;

  Value* stack = nullptr;  // grows downward from stack[stackSize - 1]
  uint32_t stackSize = 0;
  Value* sp = nullptr;     // the next free slot
  const void* pc = nullptr;

  NativeClass* classes[kTagCount - 1] = {};  // class descriptors by tag
  uint32_t ownTextTags = 0;  // bit per tag whose class's toString answers the value's own text
  std::vector<HostClassRecord> hostClasses;  // in registration order
  std::vector<const HostFunctionEntry*> hostFunctions;  // likewise, for the reference

  HeapState heap;
  bool collectorStress = false;  // collect at every collection point
  // The loader fuses common instruction sequences into single steps; tests switch it off to
  // compare both ways of running the same code.
  bool fuseInstructions = true;
  bool collecting = false;
  std::vector<Value> markStack;
  std::vector<std::pair<DeferredRelease, void*>> deferredReleases;

  ErrorFrame* errorFrames = nullptr;
  MachineRun* machineRun = nullptr;  // the virtual machine's innermost run in progress
  char message[kMessageBufferSize] = {};
  // The whole diagnostics text of the last compile when it did not fit the message buffer; the
  // next compile frees it.
  std::string compileMessages;
  Value lastResult;

  TraceOutput traceOutput = nullptr;
  void* traceData = nullptr;
  // Errors no script caught go to the trace output and here too (the saver's error log).
  TraceOutput failureReport = nullptr;
  void* failureReportData = nullptr;
  // Where the last failed run stopped, as people read it ("FILE:LINE: "); the script host, which
  // knows the line records, installs it.
  std::string (*failurePlace)(const Engine& engine) = nullptr;
  CollectionHook collectionHook = nullptr;
  void* collectionHookData = nullptr;
  // Called with true before and false after script that something outside any script call runs
  // (an automation event a server fires), so the host can keep the engine alive meanwhile.
  void (*outsideRunHook)(void* data, bool begins) = nullptr;
  void* outsideRunData = nullptr;
};

struct EngineConfig {
  uint32_t stackSize = kDefaultStackSize;
  uintptr_t userWord = 0;
  uint32_t options = 0;
  InterpreterEntries entries;
  const ClassRegistry* classes = nullptr;  // null: only the well-known atoms
  bool collectorStress = false;            // also switched on by VEXIL_GC_STRESS=1
  size_t heapLimit = 0;                    // bytes the heap may take from the system; 0: no limit
};

// Builds an engine and runs the class registration; null when anything fails.
Engine* createEngine(const EngineConfig& config);
// Runs every finalizer, then frees all the engine owns.
void destroyEngine(Engine* engine);

// Appends a value to the constant pool and returns its index.
uint32_t addConstant(Engine& engine, const Value& value);
// Appends a constant-pool string: static characters copied into the system heap and freed with the
// engine. Returns its index.
uint32_t addStringConstant(Engine& engine, const char16_t* units, uint32_t length);

// The value stack: the slots above sp up to the end are live.
inline Value* stackEnd(Engine& engine) { return engine.stack + engine.stackSize; }
// Pushes a value; raises "stack overflow" when the stack is full.
Value* pushValue(Engine& engine, const Value& value);

}  // namespace vexil::script
