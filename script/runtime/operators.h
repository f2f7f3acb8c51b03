#pragma once
// What the virtual machine's arithmetic, bitwise, comparison and equality instructions compute.
// Left is the operand pushed first. Each writes a new value into result, which may be one of the
// operands. Operands the machine holds on its stack stay reachable while a conversion runs script.
//
// Integers stay exact: two Integer operands give an Integer (wrapping modulo 2^64) wherever the
// operation has an integer form; anything else goes the real way, and NaN is contagious.
#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

using BinaryOperator = void (*)(Engine& engine, const Value& left, const Value& right, Value* result);

void opAdd(Engine& engine, const Value& left, const Value& right, Value* result);
void opSubtract(Engine& engine, const Value& left, const Value& right, Value* result);
void opMultiply(Engine& engine, const Value& left, const Value& right, Value* result);
void opDivide(Engine& engine, const Value& left, const Value& right, Value* result);
void opModulo(Engine& engine, const Value& left, const Value& right, Value* result);

void opBitAnd(Engine& engine, const Value& left, const Value& right, Value* result);
void opBitOr(Engine& engine, const Value& left, const Value& right, Value* result);
void opBitXor(Engine& engine, const Value& left, const Value& right, Value* result);
void opShiftLeft(Engine& engine, const Value& left, const Value& right, Value* result);
void opShiftRight(Engine& engine, const Value& left, const Value& right, Value* result);
void opShiftRightUnsigned(Engine& engine, const Value& left, const Value& right, Value* result);

// Boolean, or Undefined when either side is not a number.
void opLess(Engine& engine, const Value& left, const Value& right, Value* result);
void opLessEqual(Engine& engine, const Value& left, const Value& right, Value* result);
void opGreater(Engine& engine, const Value& left, const Value& right, Value* result);
void opGreaterEqual(Engine& engine, const Value& left, const Value& right, Value* result);

void opEqual(Engine& engine, const Value& left, const Value& right, Value* result);
void opNotEqual(Engine& engine, const Value& left, const Value& right, Value* result);
void opStrictEqual(Engine& engine, const Value& left, const Value& right, Value* result);
void opStrictNotEqual(Engine& engine, const Value& left, const Value& right, Value* result);

void opNegate(Engine& engine, const Value& operand, Value* result);
void opNot(Engine& engine, const Value& operand, Value* result);

// The equality rules themselves.
bool strictEquals(const Value& left, const Value& right);
bool looseEquals(Engine& engine, const Value& left, const Value& right);

}  // namespace vexil::script
