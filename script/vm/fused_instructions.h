#pragma once
// Fused instructions: the loader marks common short sequences (two operands, an arithmetic or
// comparison operator, and a store or conditional jump after it) so that the machine runs each as
// one step. Only the first word of a sequence changes, to a fused code outside the compiled
// format's opcodes; every original instruction stays in its place with its operands. Jumps into
// the middle of a sequence therefore run the original instructions, line records and error
// positions are unchanged, and a fused step that meets anything but plain numbers (or a stack
// or frame state its fast path does not cover) simply runs the sequence's first instruction.
//
// A sequence is written left operand, right operand, operator, tail:
//   Local    GetLocal n          Constant  PushConst k        One  PushOne
//   Arg      GetArg k            Global    GetGlobal name     Stack  the value already on top
//   tail None: the result stays on the stack; Store: SetLocal n; StoreGlobal: SetGlobal name;
//   Branch: JumpIfFalseFast; AndBranch: Dup, JumpIfFalseFast, Pop (the left side of a &&).
#include <cstdint>
#include <vector>

#include "script/compiler/opcodes.h"

namespace vexil::script {

enum class FusedSource : uint8_t { Local, Constant, One, Arg, Global, Stack };
enum class FusedTail : uint8_t { None, Store, StoreGlobal, Branch, AndBranch };

// The operand pairs every operator is fused with.
#define VEXIL_FUSED_SOURCES(X, op, tail)                      \
  X(LocalLocal_##op##_##tail, Local, Local, op, tail)         \
  X(LocalConstant_##op##_##tail, Local, Constant, op, tail)   \
  X(LocalOne_##op##_##tail, Local, One, op, tail)             \
  X(LocalArg_##op##_##tail, Local, Arg, op, tail)             \
  X(ConstantLocal_##op##_##tail, Constant, Local, op, tail)   \
  X(StackLocal_##op##_##tail, Stack, Local, op, tail)         \
  X(StackConstant_##op##_##tail, Stack, Constant, op, tail)   \
  X(GlobalGlobal_##op##_##tail, Global, Global, op, tail)     \
  X(GlobalConstant_##op##_##tail, Global, Constant, op, tail) \
  X(GlobalOne_##op##_##tail, Global, One, op, tail)           \
  X(LocalGlobal_##op##_##tail, Local, Global, op, tail)       \
  X(StackGlobal_##op##_##tail, Stack, Global, op, tail)

#define VEXIL_FUSED_COMPARISON(X, op)      \
  VEXIL_FUSED_SOURCES(X, op, AndBranch)    \
  VEXIL_FUSED_SOURCES(X, op, Branch)

// X(name, left, right, operator, tail). Entries whose tail is None come last: the loader takes the
// first entry that matches, and a longer sequence is worth more.
#define VEXIL_FUSED_INSTRUCTIONS(X)        \
  VEXIL_FUSED_COMPARISON(X, Less)          \
  VEXIL_FUSED_COMPARISON(X, LessEqual)     \
  VEXIL_FUSED_COMPARISON(X, Greater)       \
  VEXIL_FUSED_COMPARISON(X, GreaterEqual)  \
  VEXIL_FUSED_COMPARISON(X, Equal)         \
  VEXIL_FUSED_COMPARISON(X, NotEqual)      \
  VEXIL_FUSED_SOURCES(X, Add, Store)       \
  VEXIL_FUSED_SOURCES(X, Sub, Store)       \
  VEXIL_FUSED_SOURCES(X, Mul, Store)       \
  VEXIL_FUSED_SOURCES(X, Add, StoreGlobal) \
  VEXIL_FUSED_SOURCES(X, Sub, StoreGlobal) \
  VEXIL_FUSED_SOURCES(X, Mul, StoreGlobal) \
  VEXIL_FUSED_SOURCES(X, Add, None)        \
  VEXIL_FUSED_SOURCES(X, Sub, None)        \
  VEXIL_FUSED_SOURCES(X, Mul, None)

namespace fused_detail {
enum FusedIndex : uint32_t {
#define VEXIL_FUSED_INDEX(name, left, right, op, tail) name,
  VEXIL_FUSED_INSTRUCTIONS(VEXIL_FUSED_INDEX)
#undef VEXIL_FUSED_INDEX
  kCount
};
}  // namespace fused_detail

// Fused codes follow the last opcode of the compiled format.
inline constexpr uint32_t kFirstFusedCode = uint32_t(kLastOpcode) + 1;
inline constexpr uint32_t kFusedCount = fused_detail::kCount;
// The interpreter loop's jump table covers the opcodes and then the fused codes.
inline constexpr uint32_t kMachineCodeCount = uint32_t(kOpcodeCount) + kFusedCount;

enum class FusedCode : uint32_t {
#define VEXIL_FUSED_CODE(name, left, right, op, tail) name = kFirstFusedCode + fused_detail::name,
  VEXIL_FUSED_INSTRUCTIONS(VEXIL_FUSED_CODE)
#undef VEXIL_FUSED_CODE
};

// Marks the fusable sequences of one function's converted words (End-terminated, every
// instruction valid). Runs once per conversion: marked words are no longer opcodes.
void fuseInstructions(std::vector<uint32_t>& words);

}  // namespace vexil::script
