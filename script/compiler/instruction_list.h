#pragma once
// The instruction list a compilation builds before it writes any byte: real instructions, the
// function-start markers and the jump labels, in code order. The optimisation passes rewrite it,
// layout gives each entry its byte offset, and the writer turns it into the code section.
//
// Operands stay symbolic until the writer runs: names and constants carry their text (they get
// pool numbers only when written, so the pool holds what the final code uses, in first-use
// order), jumps carry a label number.
#include <cstdint>
#include <string_view>
#include <vector>

#include "script/compiler/opcodes.h"

namespace vexil::script {

// Markers share the opcode field with real instructions; they have no bytes.
inline constexpr int kFunctionMarker = 1000;  // carries the function's internal name
inline constexpr int kLabelMarker = 1001;     // carries its label number

// Constant kinds as the constants section stores them.
enum class PoolKind : uint8_t { Integer = 3, String = 4, Real = 5, Name = 10, RegExp = 11 };

struct Instruction {
  int opcode = 0;
  int32_t line = 0;
  uint8_t size = 0;     // bytes in the code section
  int32_t effect = 0;   // on the operand stack, for the passes
  int64_t integer = 0;  // Byte/Short/Integer operand; label number of a jump or label marker
  double real = 0;      // PushConst of a Real
  PoolKind kind = PoolKind::Name;  // PushConst: which pool kind; names are always Name
  uint32_t flags = 0;   // PushConst of a RegExp: its flag bits
  // Name, function name, string or pattern bytes: a view of the syntax tree's byte strings (alive
  // until the compilation ends) or of a constant text of the compiler.
  std::string_view text;
  uint32_t offset = 0;  // assigned by layout
  bool removed = false; // set by a pass; dropped at the next compaction

  bool isMarker() const { return opcode >= kFunctionMarker; }
  bool isLabel() const { return opcode == kLabelMarker; }
  bool isFunction() const { return opcode == kFunctionMarker; }
  bool is(Opcode op) const { return opcode == int(op); }
  bool isJump() const { return !isMarker() && opcodeInfo(opcode).form == OperandForm::Jump; }
};

using InstructionList = std::vector<Instruction>;

// Drops the entries a pass marked removed.
void compactInstructions(InstructionList& list);
// Gives every entry its byte offset; answers the size of the code.
uint32_t layoutInstructions(InstructionList& list);

// True for the four conditional jumps.
bool isConditionalJump(int opcode);

}  // namespace vexil::script
