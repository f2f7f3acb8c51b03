#include "script/compiler/instruction_list.h"

#include <algorithm>

namespace vexil::script {

void compactInstructions(InstructionList& list) {
  list.erase(std::remove_if(list.begin(), list.end(), [](const Instruction& i) { return i.removed; }), list.end());
}

uint32_t layoutInstructions(InstructionList& list) {
  uint32_t offset = 0;
  for (auto& instruction : list) {
    instruction.offset = offset;
    offset += instruction.size;
  }
  return offset;
}

bool isConditionalJump(int opcode) {
  return opcode == int(Opcode::JumpIfTrue) || opcode == int(Opcode::JumpIfFalse) ||
         opcode == int(Opcode::JumpIfTrueFast) || opcode == int(Opcode::JumpIfFalseFast);
}

}  // namespace vexil::script
