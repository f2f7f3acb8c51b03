#pragma once
// The interpreter's arithmetic and comparison fast paths on plain numbers. Their results are what
// the general operators give for the same two values; any other pair is left to the operators.
#include <cstdint>

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

}  // namespace vexil::script
