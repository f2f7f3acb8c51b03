#pragma once
// The optimisation passes over an instruction list, always run, in this order:
//   1. peephole      — Dup/Pop pairs around a consumed copy, Collapse+Pop, constant conditions;
//   2. jump threading — a jump to a Jump goes straight to that Jump's target;
//   3. local store/load — SetLocal n; GetLocal n collapses when local n is dead afterwards;
//   4. dead code     — unused labels, code after Return or Jump, jumps to the next instruction;
//                      repeated until nothing changes.
#include "script/compiler/instruction_list.h"

namespace vexil::script {

void runPeephole(InstructionList& list);
void runJumpThreading(InstructionList& list);
void runLocalStoreLoad(InstructionList& list);
void runDeadCode(InstructionList& list);

void runOptimisationPasses(InstructionList& list);

}  // namespace vexil::script
