#pragma once
// Action codes the interpreter knows, one table: X(name, code). Codes from 0x80 up carry a u16
// length and a payload; the rest are one byte. Anything not listed is skipped by its length.
#include <cstdint>
#include <string_view>

namespace vexil::swf {

#define VEXIL_ACTION_CODES(X)   \
  X(End, 0x00)                  \
  X(NextFrame, 0x04)            \
  X(PreviousFrame, 0x05)        \
  X(Play, 0x06)                 \
  X(Stop, 0x07)                 \
  X(ToggleQuality, 0x08)        \
  X(StopSounds, 0x09)           \
  X(Add, 0x0A)                  \
  X(Subtract, 0x0B)             \
  X(Multiply, 0x0C)             \
  X(Divide, 0x0D)               \
  X(Equals, 0x0E)               \
  X(Less, 0x0F)                 \
  X(And, 0x10)                  \
  X(Or, 0x11)                   \
  X(Not, 0x12)                  \
  X(StringEquals, 0x13)         \
  X(StringLength, 0x14)         \
  X(StringExtract, 0x15)        \
  X(Pop, 0x17)                  \
  X(ToInteger, 0x18)            \
  X(GetVariable, 0x1C)          \
  X(SetVariable, 0x1D)          \
  X(SetTarget2, 0x20)           \
  X(StringAdd, 0x21)            \
  X(GetProperty, 0x22)          \
  X(SetProperty, 0x23)          \
  X(Trace, 0x26)                \
  X(StringLess, 0x29)           \
  X(RandomNumber, 0x30)         \
  X(CharToAscii, 0x32)          \
  X(AsciiToChar, 0x33)          \
  X(GetTime, 0x34)              \
  X(DefineLocal, 0x3C)          \
  X(Modulo, 0x3F)               \
  X(Add2, 0x47)                 \
  X(Less2, 0x48)                \
  X(Equals2, 0x49)              \
  X(PushDuplicate, 0x4C)        \
  X(StackSwap, 0x4D)            \
  X(Increment, 0x50)            \
  X(Decrement, 0x51)            \
  X(Greater, 0x67)              \
  X(StringGreater, 0x68)        \
  X(GotoFrame, 0x81)            \
  X(GetUrl, 0x83)               \
  X(StoreRegister, 0x87)        \
  X(ConstantPool, 0x88)         \
  X(WaitForFrame, 0x8A)         \
  X(SetTarget, 0x8B)            \
  X(GotoLabel, 0x8C)            \
  X(WaitForFrame2, 0x8D)        \
  X(Push, 0x96)                 \
  X(Jump, 0x99)                 \
  X(GetUrl2, 0x9A)              \
  X(If, 0x9D)                   \
  X(Call, 0x9E)                 \
  X(GotoFrame2, 0x9F)

enum class ActionCode : uint8_t {
#define VEXIL_ACTION_ENUM(name, code) name = code,
  VEXIL_ACTION_CODES(VEXIL_ACTION_ENUM)
#undef VEXIL_ACTION_ENUM
};

inline constexpr uint8_t kFirstActionWithLength = 0x80;

// Value types of a Push record, in the order of their type byte.
enum class PushType : uint8_t {
  String = 0, Float = 1, Null = 2, Undefined = 3, Register = 4, Boolean = 5, Double = 6,
  Integer = 7, Constant8 = 8, Constant16 = 9,
};

}  // namespace vexil::swf
