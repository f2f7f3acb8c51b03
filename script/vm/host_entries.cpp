// Where a run begins and ends: the run record on the C++ stack, the run-function entry natives use
// to call script functions back, the host entry that runs a compiled script, and the lookups that
// error reports use to say where the running code is.
#include <algorithm>

#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/script_function.h"
#include "script/vm/loader.h"
#include "script/vm/machine.h"
#include "script/vm/machine_run.h"
#include "script/vm/script_host.h"

namespace vexil::script {

MachineRun::MachineRun(Engine& e) : engine(e), outer(e.machineRun) { engine.machineRun = this; }

// Handlers a failed run leaves linked are taken out of the engine's chain before they go.
MachineRun::~MachineRun() {
  if (!handlers.empty()) {
    ErrorFrame* outside = handlers.front().next;
    for (ErrorFrame* frame = engine.errorFrames; frame && frame != outside; frame = frame->next) {
      bool ours = std::any_of(handlers.begin(), handlers.end(), [&](const TryHandler& h) { return &h == frame; });
      if (!ours) break;
      engine.errorFrames = frame->next;
    }
  }
  engine.machineRun = outer;
}

namespace {

// The stack for the outermost frame: the arguments last first, the count, this.
void pushArguments(Engine& engine, const Value* self, const Value* args, uint32_t blockSize) {
  uint32_t n = args && blockSize > 0 ? std::min(Arguments::countOf(args), blockSize - 1) : 0;
  for (uint32_t i = n; i >= 1; --i) pushValue(engine, args[i]);
  pushValue(engine, Value::fromInteger(n));
  pushValue(engine, self ? *self : Value::null());
}

void runFunctionEntry(Engine& engine, const Value* self, ScriptFunction* function, const Value* args,
                      uint32_t blockSize) {
  // A call from outside any run (a timer, an event from the message loop) starts a failure of its
  // own: the last one has reached its host, and a new unwind may reuse its address.
  if (!innermostRun(engine)) forgetFailure();
  Value* saved = engine.sp;
  Value callee;
  callee.setFunction(function);
  pushValue(engine, callee);  // keeps the function and its code alive through the run
  runCode(engine, function->code, self, args, blockSize);
  engine.sp = saved;
}

const CodeRecord* currentCode(const Engine& engine) {
  const MachineRun* run = innermostRun(engine);
  return run ? run->code() : nullptr;
}

const char* currentFunctionName(Engine& engine) {
  const CodeRecord* code = currentCode(engine);
  return code ? nameOf(engine, code->name) : kMainFunctionName;
}

SourcePosition currentSourcePosition(Engine& engine) {
  SourcePosition position;
  const MachineRun* run = innermostRun(engine);
  const CodeRecord* code = currentCode(engine);
  if (!code) return position;
  position.sourceName = code->sourceName;
  if (code->contains(run->current)) position.line = int32_t(lineOfWord(*code, uint32_t(run->current - code->words)));
  return position;
}

// One engine runs on a thread at a time, so the last failure of the thread is the engine's.
struct LastFailure {
  const Engine* engine = nullptr;
  const void* unwind = nullptr;
  FailureLocation location;
};
thread_local LastFailure tLastFailure;

void markRunningCode(Engine& engine) {
  for (MachineRun* run = innermostRun(engine); run; run = run->outer)
    for (CodeRecord* code : run->codes) markHeapBlock(engine, code);
}

}  // namespace

void runCode(Engine& engine, CodeRecord* code, const Value* self, const Value* args, uint32_t blockSize) {
  Value* saved = engine.sp;
  MachineRun run(engine);
  pushArguments(engine, self, args, blockSize);
  enterFrame(run, code);
  run.current = run.pc;
  execute(run);
  engine.sp = saved;
}

void noteFailure(MachineRun& run, const RuntimeErrorUnwind& unwind) {
  if (tLastFailure.engine == &run.engine && tLastFailure.unwind == &unwind) return;
  tLastFailure.engine = &run.engine;
  tLastFailure.unwind = &unwind;
  const CodeRecord* code = run.code();
  FailureLocation& location = tLastFailure.location;
  location = FailureLocation();
  if (!code) return;
  location.functionName = nameOf(run.engine, code->name);
  location.sourceName = code->sourceName;
  if (code->lineCount > 0 && code->contains(run.current)) location.line = int32_t(lineOfWord(*code, uint32_t(run.current - code->words)));
}

void forgetFailure() { tLastFailure = LastFailure(); }

FailureLocation lastFailureLocation(const Engine& engine) {
  return tLastFailure.engine == &engine ? tLastFailure.location : FailureLocation();
}

InterpreterEntries machineEntries() {
  InterpreterEntries entries;
  entries.runFunction = runFunctionEntry;
  entries.currentFunctionName = currentFunctionName;
  entries.currentSourcePosition = currentSourcePosition;
  entries.markRunningCode = markRunningCode;
  return entries;
}

bool runCompiledScript(Engine& engine, CompiledScript& script) {
  engine.message[0] = 0;
  engine.lastResult.setUndefined();
  tLastFailure = LastFailure();
  return protectedCall(engine, [&] {
    if (CodeRecord* main = loadModule(engine, script)) runCode(engine, main, nullptr, nullptr, 0);
  });
}

}  // namespace vexil::script
