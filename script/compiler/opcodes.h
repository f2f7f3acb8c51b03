#pragma once
// The instruction set: one table that everything else is generated from — the opcode enum, the
// operand form each opcode takes in a compiled file, its effect on the operand stack (used by the
// optimisation passes), the loader's operand decoding and the disassembler's names.
//
// Codes outside kFirstOpcode..kLastOpcode are invalid. Effects marked kEffectCall/kEffectSpecial
// depend on the instruction's context (argument counts, frames) and are not summed by the passes.
#include <cstdint>

namespace vexil::script {

// How an operand is stored in a compiled file.
enum class OperandForm : uint8_t {
  None,      // no operand
  Byte,      // 1 byte (unsigned, or signed for Roll)
  Short,     // 2 bytes big-endian
  Name,      // 4 bytes big-endian: constant-pool number of a name (low 28 bits used)
  Constant,  // 4 bytes big-endian: constant-pool number
  Jump,      // 4 bytes big-endian: signed distance from the end of the instruction
  Integer,   // 4 bytes big-endian: signed 32-bit value
};

inline constexpr int8_t kEffectCall = 100;
inline constexpr int8_t kEffectSpecial = 101;
inline constexpr int8_t kEffectReserve = 102;  // ReserveLocals: +n, its operand

// X(code, Name, operand form, stack effect)
#define VEXIL_OPCODES(X)                      \
  X(33, CallName, Name, kEffectCall)          \
  X(34, PushVarScoped, Name, 1)               \
  X(35, AddTwo, None, 0)                      \
  X(36, Increment, None, 0)                   \
  X(37, JumpIfTrueFast, Jump, -1)             \
  X(38, JumpIfFalseFast, Jump, -1)            \
  X(39, Throw, None, -1)                      \
  X(40, PopHandlers, Byte, 0)                 \
  X(41, EnterTry, Jump, 0)                    \
  X(42, PopScopes, Byte, 0)                   \
  X(43, PushScope, None, -1)                  \
  X(44, PushArgN, None, 0)                    \
  X(45, PadArgs, Byte, -1)                    \
  X(46, ReserveLocals, Short, kEffectReserve) \
  X(47, DeleteElement, None, -1)              \
  X(48, DeleteProperty, Name, 0)              \
  X(49, New, None, 1)                         \
  X(50, TypeOf, None, 0)                      \
  X(51, Return, None, kEffectSpecial)         \
  X(52, CallValue, None, kEffectCall)         \
  X(53, Jump, Jump, 0)                        \
  X(54, CallMethod, Name, kEffectCall)        \
  X(55, JumpIfTrue, Jump, -1)                 \
  X(56, JumpIfFalse, Jump, -1)                \
  X(57, ShiftRightUnsigned, None, -1)         \
  X(58, ShiftRight, None, -1)                 \
  X(59, ShiftLeft, None, -1)                  \
  X(60, BitXor, None, -1)                     \
  X(61, BitOr, None, -1)                      \
  X(62, Not, None, 0)                         \
  X(63, BitAnd, None, -1)                     \
  X(64, Negate, None, 0)                      \
  X(65, Mod, None, -1)                        \
  X(66, Div, None, -1)                        \
  X(67, Mul, None, -1)                        \
  X(68, Add, None, -1)                        \
  X(69, Sub, None, -1)                        \
  X(70, StrictNotEqual, None, -1)             \
  X(71, StrictEqual, None, -1)                \
  X(72, GreaterEqual, None, -1)               \
  X(73, LessEqual, None, -1)                  \
  X(74, Greater, None, -1)                    \
  X(75, Less, None, -1)                       \
  X(76, NotEqual, None, -1)                   \
  X(77, Equal, None, -1)                      \
  X(78, ForInNext, None, 0)                   \
  X(79, SetElement, None, -3)                 \
  X(80, GetElement, None, -1)                 \
  X(81, SetProperty, Name, -2)                \
  X(82, GetProperty, Name, 0)                 \
  X(83, SetLocal, Short, -1)                  \
  X(84, GetLocal, Short, 1)                   \
  X(85, SetArg, Byte, -1)                     \
  X(86, GetArg, Byte, 1)                      \
  X(87, SetGlobal, Name, -1)                  \
  X(88, GetGlobal, Name, 1)                   \
  X(89, PushInt, Integer, 1)                  \
  X(90, PushThree, None, 1)                   \
  X(91, PushTwo, None, 1)                     \
  X(92, PushOne, None, 1)                     \
  X(93, PushZero, None, 1)                    \
  X(94, PushUndefined, None, 1)               \
  X(95, PushFalse, None, 1)                   \
  X(96, PushTrue, None, 1)                    \
  X(97, PushNull, None, 1)                    \
  X(98, PushConst, Constant, 1)               \
  X(99, Roll, Byte, 0)                        \
  X(100, Swap, None, 0)                       \
  X(101, Collapse, Byte, kEffectSpecial)      \
  X(102, PopN, Byte, kEffectSpecial)          \
  X(103, Pop, None, -1)                       \
  X(104, Dup, None, 1)                        \
  X(105, Nop, None, 0)                        \
  X(106, End, None, kEffectSpecial)           \
  X(107, Halt, None, kEffectSpecial)          \
  X(108, SetVarScoped, Name, -1)              \
  X(109, DeleteVarScoped, Name, 0)            \
  X(110, DeleteGlobal, Name, 0)               \
  X(111, DeleteLocal, Short, 0)               \
  X(112, DeleteArg, Byte, 0)

enum class Opcode : uint8_t {
#define VEXIL_OPCODE_ENUM(code, name, form, effect) name = code,
  VEXIL_OPCODES(VEXIL_OPCODE_ENUM)
#undef VEXIL_OPCODE_ENUM
};

inline constexpr int kFirstOpcode = 33;
inline constexpr int kLastOpcode = 112;
inline constexpr int kOpcodeCount = kLastOpcode - kFirstOpcode + 1;

struct OpcodeInfo {
  const char* name;
  OperandForm form;
  int8_t stackEffect;
};

namespace detail {
struct OpcodeTable {
  OpcodeInfo entries[kOpcodeCount];
  constexpr OpcodeTable() : entries{} {
#define VEXIL_OPCODE_INFO(code, name, form, effect) \
  entries[code - kFirstOpcode] = OpcodeInfo{#name, OperandForm::form, effect};
    VEXIL_OPCODES(VEXIL_OPCODE_INFO)
#undef VEXIL_OPCODE_INFO
  }
};
inline constexpr OpcodeTable kOpcodeTable{};
}  // namespace detail

constexpr bool isValidOpcode(int code) { return code >= kFirstOpcode && code <= kLastOpcode; }

// Only for valid codes.
constexpr const OpcodeInfo& opcodeInfo(int code) { return detail::kOpcodeTable.entries[code - kFirstOpcode]; }

// Bytes an operand of this form takes in a compiled file.
constexpr int operandBytes(OperandForm form) {
  switch (form) {
    case OperandForm::None: return 0;
    case OperandForm::Byte: return 1;
    case OperandForm::Short: return 2;
    default: return 4;
  }
}

// Name operands use only their low 28 bits; readers mask the rest.
inline constexpr uint32_t kNameOperandMask = 0x0FFFFFFF;

// The raw big-endian value of an operand of `bytes` bytes (0, 1, 2 or 4) at p.
constexpr uint32_t readOperand(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

// Size in bytes of an instruction in a compiled file (opcode byte plus operand).
constexpr int instructionBytes(int code) { return 1 + operandBytes(opcodeInfo(code).form); }

static_assert(instructionBytes(int(Opcode::PushTrue)) == 1);
static_assert(instructionBytes(int(Opcode::Roll)) == 2);
static_assert(instructionBytes(int(Opcode::ReserveLocals)) == 3);
static_assert(instructionBytes(int(Opcode::PushConst)) == 5);

}  // namespace vexil::script
