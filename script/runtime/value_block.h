#pragma once
// A heap block that starts with a count and holds that many Values: a frame's with-scope list on
// the value stack is one. The collector marks the values of a block a frame-mark slot refers to.
#include <cstddef>
#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {

inline constexpr size_t kValueBlockHeader = alignof(Value) > 4 ? alignof(Value) : 4;

struct ValueBlock {
  uint32_t count;

  Value* values() { return reinterpret_cast<Value*>(reinterpret_cast<char*>(this) + kValueBlockHeader); }
  static size_t bytesFor(uint32_t count) { return kValueBlockHeader + size_t(count) * sizeof(Value); }
};

}  // namespace vexil::script
