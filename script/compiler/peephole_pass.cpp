// Peephole pass: patterns of two instructions, and a Dup whose copy is consumed before a Pop
// that would drop the original.
#include "script/compiler/optimizer.h"

namespace vexil::script {
namespace {

// Instructions whose effect on the stack the Dup scan cannot follow: control transfers, calls,
// another Dup, and those that reach below the values they name.
bool endsDupScan(const Instruction& i) {
  if (i.isMarker() || i.isJump()) return true;
  switch (Opcode(i.opcode)) {
    case Opcode::CallValue: case Opcode::CallMethod: case Opcode::CallName: case Opcode::New:
    case Opcode::Throw: case Opcode::PopHandlers: case Opcode::Return: case Opcode::Dup:
    case Opcode::Roll: case Opcode::End: case Opcode::Halt:
      return true;
    default:
      return false;
  }
}

// After a Dup the stack holds [v, v]: follow the count while the instructions after it work on
// the copy. When exactly the original is left and a Pop drops it, neither was needed.
bool removeDupPop(InstructionList& list, size_t dup) {
  int32_t depth = 2;
  for (size_t j = dup + 1; j + 1 < list.size(); ++j) {
    const Instruction& i = list[j];
    if (i.removed) continue;
    if (endsDupScan(i)) return false;
    depth += i.effect;
    if (depth <= 0) return false;
    if (depth == 1) {
      size_t k = j + 1;
      while (k < list.size() && list[k].removed) ++k;
      if (k == list.size() || !list[k].is(Opcode::Pop)) return false;
      list[dup].removed = list[k].removed = true;
      return true;
    }
  }
  return false;
}

bool isJumpIfFalse(const Instruction& i) { return i.is(Opcode::JumpIfFalse) || i.is(Opcode::JumpIfFalseFast); }
bool isJumpIfTrue(const Instruction& i) { return i.is(Opcode::JumpIfTrue) || i.is(Opcode::JumpIfTrueFast); }

void makeJump(Instruction& i) {
  i.opcode = int(Opcode::Jump);
  i.effect = 0;
}

}  // namespace

void runPeephole(InstructionList& list) {
  for (size_t at = 0; at < list.size(); ++at) {
    Instruction& i = list[at];
    if (i.removed) continue;
    if (i.is(Opcode::Dup)) {
      removeDupPop(list, at);
      continue;
    }
    if (at + 1 >= list.size()) break;
    Instruction& next = list[at + 1];
    if (i.is(Opcode::Collapse) && next.is(Opcode::Pop) && i.integer < 255) {
      i.opcode = int(Opcode::PopN);
      i.integer += 1;
      i.effect = -int32_t(i.integer);
      next.removed = true;
    } else if ((i.is(Opcode::PushTrue) && isJumpIfFalse(next)) || (i.is(Opcode::PushFalse) && isJumpIfTrue(next))) {
      // The condition never holds: no jump.
      i.removed = next.removed = true;
    } else if ((i.is(Opcode::PushFalse) && isJumpIfFalse(next)) || (i.is(Opcode::PushTrue) && isJumpIfTrue(next))) {
      // The condition always holds: an unconditional jump.
      i.removed = true;
      makeJump(next);
    }
  }
  compactInstructions(list);
}

}  // namespace vexil::script
