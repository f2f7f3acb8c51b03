// Entering and leaving script frames, and the argument padding of a function's prologue.
#include <cstring>

#include "script/runtime/collector.h"
#include "script/runtime/messages.h"
#include "script/vm/machine_run.h"
#include "script/vm/vm_messages.h"

namespace vexil::script {


void raiseBadCode(Engine& engine) { raiseError(engine, "%s", kUnimplementedBytecode); }

// An array literal passes its element count negated, so the count of values is its magnitude.
uint32_t checkedArgumentCount(MachineRun& run, const Value* countSlot) {
  if (countSlot->tag != Tag::Integer) raiseBadCode(run.engine);
  int64_t n = countSlot->integer();
  if (n < 0 && n > INT64_MIN) n = -n;
  // The arguments must lie in the caller's own operand area, above its marks and locals.
  int64_t room = run.fp ? (run.fp - kFrameMarkSlots) - countSlot : stackEnd(run.engine) - 1 - countSlot;
  if (n < 0 || n > room) raiseBadCode(run.engine);
  return uint32_t(n);
}

void enterFrame(MachineRun& run, CodeRecord* code) {
  Engine& engine = run.engine;
  Value* callee = engine.sp + 1;
  uint32_t passed = checkedArgumentCount(run, callee + 1);
  if (engine.sp - engine.stack < ptrdiff_t(kFrameMarkSlots + kFrameSlack)) raiseError(engine, "%s", kStackOverflow);
  Value* fp = engine.sp;
  enterFrameMarks(fp, run.fp, passed, run.pc);
  engine.sp = fp - kFrameMarkSlots;
  run.codes.push_back(code);
  run.fp = fp;
  run.frameSlots = 2 + passed;
  run.pc = code->words;
}

// Slots PadArgs inserted are taken out again, so the caller finds its arguments, count and this
// where it left them, with the result below.
bool leaveFrame(MachineRun& run) {
  Engine& engine = run.engine;
  Value result = engine.sp[1];
  Value* fp = run.fp;
  dropFrameHandlers(run);
  Value* caller = callerFrame(fp);
  const uint32_t* back = returnPosition(fp);
  uint32_t inserted = insertedCount(fp);
  if (inserted) {
    std::memmove(fp + 1 + inserted, fp + 1, size_t(run.frameSlots - inserted) * sizeof(Value));
    fp += inserted;
  }
  fp[0] = result;
  engine.sp = fp - 1;
  run.codes.pop_back();
  if (!caller) {
    engine.lastResult = result;
    return false;
  }
  run.fp = caller;
  run.frameSlots = 2 + passedCount(caller) + insertedCount(caller);
  run.pc = back;
  return true;
}

// The values from the top of the stack down to the deepest frame slot move up by the missing
// count; the freed slots below the last argument become the missing arguments.
void padArguments(MachineRun& run, uint32_t missing) {
  Engine& engine = run.engine;
  if (!missing) return;
  if (engine.sp - engine.stack <= ptrdiff_t(missing + kFrameSlack)) raiseError(engine, "%s", kStackOverflow);
  Value* fp = run.fp;
  Value* top = engine.sp + 1;
  Value* deepest = fp + run.frameSlots;
  std::memmove(top - missing, top, size_t(deepest - top + 1) * sizeof(Value));
  for (Value* slot = deepest - missing + 1; slot <= deepest; ++slot) slot->setUndefined();
  engine.sp -= missing;
  fp -= missing;
  run.fp = fp;
  run.frameSlots += missing;
  setArgumentMark(fp[-1], passedCount(fp), insertedCount(fp) + missing);
}

}  // namespace vexil::script
