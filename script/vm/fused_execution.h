#pragma once
// Running one fused instruction (see fused_instructions.h): the fast path of the whole sequence
// on plain numbers, or nothing at all so that the machine runs the sequence's first instruction.
// Every check of the original instructions (room on the stack, pops into the frame marks, locals
// above the operands, arguments the call passed) is made before anything is written; a fused
// step that cannot prove them falls back, and the original instructions raise what they raise.
#include <cstdint>

#include "script/runtime/operators.h"
#include "script/vm/fused_instructions.h"
#include "script/vm/machine_run.h"
#include "script/vm/number_fast_paths.h"

namespace vexil::script {

enum class FusedOutcome { Fallback, Next, Jump };

// The registers a fused step reads and moves.
struct FusedRegisters {
  const uint32_t*& pc;  // on entry: the word after the fused code
  Value*& sp;
  Value* fp;
  uint32_t slots;
  const Value* stackBase;
  const Value* constants;
  Value* globals;  // indexed by atom
};

namespace fused {

constexpr int wordsOf(FusedSource s) {
  return s == FusedSource::Stack ? 0 : s == FusedSource::One ? 1 : 2;
}

// The source of the sequence's first instruction: the left operand's unless it is already on
// the stack.
constexpr FusedSource firstSource(FusedSource left, FusedSource right) {
  return left == FusedSource::Stack ? right : left;
}

inline const Value kOne = Value::fromInteger(1);

// Where an operand instruction's value comes from, or null when its fast path does not apply.
// `operand` is the instruction's operand word, `sp` the stack pointer at the sequence's start: a
// local must lie above it (the right operand's check is one slot stricter than its instruction's,
// so that it never reads the slot the left operand was pushed into).
template <FusedSource S>
inline const Value* sourceValue(const FusedRegisters& r, const uint32_t* operand, const Value* sp) {
  if constexpr (S == FusedSource::Local) {
    const Value* local = r.fp - ptrdiff_t(kFrameMarkSlots) - ptrdiff_t(*operand & 0xFFFF);
    return local > sp ? local : nullptr;
  } else if constexpr (S == FusedSource::Constant) {
    return &r.constants[*operand];
  } else if constexpr (S == FusedSource::One) {
    return &kOne;
  } else if constexpr (S == FusedSource::Global) {
    return &r.globals[*operand];  // an Undefined global is no plain number: its warning stays
  } else if constexpr (S == FusedSource::Arg) {
    uint32_t k = *operand & 0xFF;
    return k < r.slots ? &r.fp[1 + k] : nullptr;
  } else {
    return sp + 1;
  }
}

template <Opcode Op>
constexpr bool isComparison() {
  return Op != Opcode::Add && Op != Opcode::Sub && Op != Opcode::Mul;
}

}  // namespace fused

// Runs one fused step. On Jump, pc is at the end of the jump instruction and `distance` is its
// operand, for the machine to take (and to count backward jumps).
template <FusedSource Left, FusedSource Right, Opcode Op, FusedTail Tail>
inline FusedOutcome runFused(FusedRegisters r, int32_t& distance) {
  using namespace fused;
  const uint32_t* first = r.pc - 1;
  constexpr int rightAt = wordsOf(Left);
  constexpr int opAt = rightAt + wordsOf(Right);
  constexpr int tailAt = opAt + 1;
  constexpr int pushes = (Left == FusedSource::Stack ? 0 : 1) + (Right == FusedSource::Stack ? 0 : 1);
  const Value* const marks = r.fp - ptrdiff_t(kFrameMarkSlots);
  Value* sp = r.sp;

  // Room for the pushes, and the operator's two operands above the marks.
  if (sp < r.stackBase + pushes) return FusedOutcome::Fallback;
  Value* operandsEnd = sp - pushes + 2;  // the operator pops sp[-pushes + 1] and sp[-pushes + 2]
  if (operandsEnd > marks) return FusedOutcome::Fallback;
  const Value* x = sourceValue<Left>(r, first + 1, sp);
  const Value* y = sourceValue<Right>(r, first + rightAt + 1, sp);
  if (!x || !y) return FusedOutcome::Fallback;
  // The operator's result lands where its left operand was.
  Value* result = sp - pushes + 2;

  if constexpr (!isComparison<Op>()) {
    Value value;
    if (!numberArithmetic<Op>(*x, *y, value)) return FusedOutcome::Fallback;
    if constexpr (Tail == FusedTail::StoreGlobal) {
      r.globals[first[tailAt + 1]] = value;  // a number: never the Undefined a store treats apart
      r.sp = result;
      r.pc = first + tailAt + 2;
    } else if constexpr (Tail == FusedTail::Store) {
      Value* local = const_cast<Value*>(marks) - ptrdiff_t(first[tailAt + 1] & 0xFFFF);
      if (local <= result) return FusedOutcome::Fallback;  // a local lies above the operands
      *local = value;
      r.sp = result;
      r.pc = first + tailAt + 2;
    } else {
      *result = value;
      r.sp = result - 1;
      r.pc = first + tailAt;
    }
    return FusedOutcome::Next;
  } else {
    bool truth = false;
    if (!numberComparison<Op>(*x, *y, truth)) return FusedOutcome::Fallback;
    if constexpr (Tail == FusedTail::Branch) {
      r.sp = result;
      r.pc = first + tailAt + 2;
      if (truth) return FusedOutcome::Next;
      distance = int32_t(first[tailAt + 1]);
      return FusedOutcome::Jump;
    } else {
      // Dup, JumpIfFalseFast, Pop: false stays on the stack for the jump's target.
      if (result - 1 < r.stackBase + 1) return FusedOutcome::Fallback;  // the Dup's room
      if (truth) {
        r.sp = result;
        r.pc = first + tailAt + 4;
        return FusedOutcome::Next;
      }
      result->setBoolean(false);
      r.sp = result - 1;
      r.pc = first + tailAt + 3;
      distance = int32_t(first[tailAt + 2]);
      return FusedOutcome::Jump;
    }
  }
}

}  // namespace vexil::script
