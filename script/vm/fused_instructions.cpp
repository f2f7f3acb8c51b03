#include "script/vm/fused_instructions.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <unordered_map>

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
    case FusedSource::Global: p.opcodes[p.length++] = Opcode::GetGlobal; break;
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
    case FusedTail::StoreGlobal: p.opcodes[p.length++] = Opcode::SetGlobal; break;
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

// The entries by their first two opcodes, in table order, so that the loader compares a start
// with a handful of entries instead of all of them.
class PatternIndex {
 public:
  PatternIndex() {
    for (uint16_t i = 0; i < std::size(kPatterns); ++i) {
      const Pattern& p = kPatterns[i];
      buckets_[key(uint32_t(p.opcodes[0]), uint32_t(p.opcodes[1]))].push_back(i);
    }
  }
  const std::vector<uint16_t>* find(uint32_t first, uint32_t second) const {
    auto it = buckets_.find(key(first, second));
    return it == buckets_.end() ? nullptr : &it->second;
  }

 private:
  static uint32_t key(uint32_t first, uint32_t second) { return first << 8 | (second & 0xFF); }
  std::unordered_map<uint32_t, std::vector<uint16_t>> buckets_;
};

}  // namespace

void fuseInstructions(std::vector<uint32_t>& words) {
  static const PatternIndex index;
  std::vector<uint32_t> starts;
  for (std::size_t w = 0; w < words.size();) {
    starts.push_back(uint32_t(w));
    w += opcodeInfo(int(words[w])).form == OperandForm::None ? 1 : 2;
  }
  // Opcodes are read before any word of a later start is marked. Every sequence has at least two
  // instructions (an operand and its operator), and the End keeps the last one from running off.
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
    const std::vector<uint16_t>* candidates = index.find(words[starts[i]], words[starts[i + 1]]);
    if (!candidates) continue;
    for (uint16_t n : *candidates) {
      const Pattern& p = kPatterns[n];
      if (i + p.length > starts.size()) continue;
      bool match = true;
      for (std::size_t k = 2; k < p.length && match; ++k) match = words[starts[i + k]] == uint32_t(p.opcodes[k]);
      if (match) {
        words[starts[i]] = p.code;
        break;
      }
    }
  }
}

}  // namespace vexil::script
