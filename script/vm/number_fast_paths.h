#pragma once
// The interpreter's arithmetic and comparison fast paths on plain numbers. Their results are what
// the general operators give for the same two values; any other pair is left to the operators.
#include <cstdint>

#include "script/compiler/opcodes.h"
#include "script/runtime/conversions.h"
#include "script/runtime/value.h"

namespace vexil::script {

inline int64_t wrapInteger(uint64_t v) { return int64_t(v); }

// Integers and Reals (not NaN-tagged values) take the fast paths.
inline bool isPlainNumber(const Value& v) { return v.tag == Tag::Integer || v.tag == Tag::Real; }

inline double plainDouble(const Value& v) {
  if (v.tag != Tag::Integer) return v.real();
#if defined(__i386__) && !defined(__SSE2_MATH__)
  // The x87 unit would keep all 64 bits of the integer; the operators see it rounded to a double.
  volatile double rounded = double(v.integer());
  return rounded;
#else
  return double(v.integer());
#endif
}

// Add, Sub and Mul on two plain numbers: wrapping integers, or doubles with a not-a-number
// result becoming NaN. False for any other pair. `out` may be `x`: both operands are read first.
template <Opcode Op>
inline bool numberArithmetic(const Value& x, const Value& y, Value& out) {
  if (x.tag == Tag::Integer && y.tag == Tag::Integer) {
    uint64_t a = uint64_t(x.integer()), b = uint64_t(y.integer());
    if constexpr (Op == Opcode::Add) out.setInteger(wrapInteger(a + b));
    if constexpr (Op == Opcode::Sub) out.setInteger(wrapInteger(a - b));
    if constexpr (Op == Opcode::Mul) out.setInteger(wrapInteger(a * b));
    return true;
  }
  if (!isPlainNumber(x) || !isPlainNumber(y)) return false;
  double a = plainDouble(x), b = plainDouble(y);
  if constexpr (Op == Opcode::Add) out = numberFromReal(a + b);
  if constexpr (Op == Opcode::Sub) out = numberFromReal(a - b);
  if constexpr (Op == Opcode::Mul) out = numberFromReal(a * b);
  return true;
}

template <Opcode Op, typename T>
constexpr bool compareWith(T a, T b) {
  if constexpr (Op == Opcode::Less) return a < b;
  if constexpr (Op == Opcode::LessEqual) return a <= b;
  if constexpr (Op == Opcode::Greater) return a > b;
  if constexpr (Op == Opcode::GreaterEqual) return a >= b;
  if constexpr (Op == Opcode::Equal) return a == b;
  if constexpr (Op == Opcode::NotEqual) return a != b;
  return false;
}

// The orderings and the equalities: two Integers, or for the orderings two plain numbers that
// are not NaN, or for the equalities two Reals (the general operator compares an Integer with a
// Real exactly). False for any other pair.
template <Opcode Op>
inline bool numberComparison(const Value& x, const Value& y, bool& out) {
  if (x.tag == Tag::Integer && y.tag == Tag::Integer) {
    out = compareWith<Op>(x.integer(), y.integer());
    return true;
  }
  if constexpr (Op == Opcode::Equal || Op == Opcode::NotEqual) {
    if (x.tag != Tag::Real || y.tag != Tag::Real) return false;
    out = compareWith<Op>(x.real(), y.real());
    return true;
  } else {
    if (!isPlainNumber(x) || !isPlainNumber(y)) return false;
    double a = plainDouble(x), b = plainDouble(y);
    if (a != a || b != b) return false;
    out = compareWith<Op>(a, b);
    return true;
  }
}

}  // namespace vexil::script
