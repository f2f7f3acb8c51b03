#include "script/vm/fused_instructions.h"

#include <array>
#include <cstddef>

namespace vexil::script {

namespace {

// The instructions a fused entry stands for, in order (at most 1 + 1 + 1 + 3).
struct Pattern {
  uint32_t code;
  uint8_t length;
  std::array<Opcode, 6> opcodes;
};

constexpr void addSource(Pattern& p, FusedSource source) {
  switch (source) {
    case FusedSource::Local: p.opcodes[p.length++] = Opcode::GetLocal; break;
    case FusedSource::Constant: p.opcodes[p.length++] = Opcode::PushConst; break;
    case FusedSource::One: p.opcodes[p.length++] = Opcode::PushOne; break;
    case FusedSource::Arg: p.opcodes[p.length++] = Opcode::GetArg; break;
    case FusedSource::Stack: break;
  }
}

constexpr Pattern makePattern(uint32_t code, FusedSource left, FusedSource right, Opcode op, FusedTail tail) {
  Pattern p{code, 0, {}};
  addSource(p, left);
  addSource(p, right);
  p.opcodes[p.length++] = op;
  switch (tail) {
    case FusedTail::None: break;
    case FusedTail::Store: p.opcodes[p.length++] = Opcode::SetLocal; break;
    case FusedTail::Branch: p.opcodes[p.length++] = Opcode::JumpIfFalseFast; break;
    case FusedTail::AndBranch:
      p.opcodes[p.length++] = Opcode::Dup;
      p.opcodes[p.length++] = Opcode::JumpIfFalseFast;
      p.opcodes[p.length++] = Opcode::Pop;
      break;
  }
  return p;
}

constexpr Pattern kPatterns[] = {
#define VEXIL_FUSED_PATTERN(name, left, right, op, tail)                                               \
  makePattern(uint32_t(FusedCode::name), FusedSource::left, FusedSource::right, Opcode::op, FusedTail::tail),
    VEXIL_FUSED_INSTRUCTIONS(VEXIL_FUSED_PATTERN)
#undef VEXIL_FUSED_PATTERN
};

bool isOperandSource(uint32_t code) {
  return code == uint32_t(Opcode::GetLocal) || code == uint32_t(Opcode::PushConst) ||
         code == uint32_t(Opcode::PushOne) || code == uint32_t(Opcode::GetArg);
}

}  // namespace

void fuseInstructions(std::vector<uint32_t>& words) {
  std::vector<uint32_t> starts;
  for (std::size_t w = 0; w < words.size();) {
    starts.push_back(uint32_t(w));
    w += opcodeInfo(int(words[w])).form == OperandForm::None ? 1 : 2;
  }
  // Every sequence starts with an operand instruction, and its opcodes are read before any word
  // of a later start is marked.
  for (std::size_t i = 0; i < starts.size(); ++i) {
    if (!isOperandSource(words[starts[i]])) continue;
    for (const Pattern& p : kPatterns) {
      if (i + p.length > starts.size()) continue;
      bool match = true;
      for (std::size_t k = 0; k < p.length && match; ++k) match = words[starts[i + k]] == uint32_t(p.opcodes[k]);
      if (match) {
        words[starts[i]] = p.code;
        break;
      }
    }
  }
}

}  // namespace vexil::script
