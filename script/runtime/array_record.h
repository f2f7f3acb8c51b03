#pragma once
// The layout of an array value: a sparse map from 64-bit index to Value in a fixed hash of 127
// chains, with an explicit length. The collector walks it; the Array class owns its operations.
#include <cstdint>
#include <cstring>

#include "script/runtime/value.h"

namespace vexil::script {

inline constexpr uint32_t kArrayChainCount = 127;

struct ArrayEntry {
  uint32_t indexLow;   // the element index as two words, low then high
  uint32_t indexHigh;
  Value* value;        // a block of its own
  ArrayEntry* next;

  uint64_t index() const { return uint64_t(indexHigh) << 32 | indexLow; }
};

struct ArrayRecord {
  uint32_t lengthWords[2];  // unsigned 64-bit, low word first
  ArrayEntry** chains;      // one block of kArrayChainCount heads
  PropertyTable* props;

  uint64_t length() const { return uint64_t(lengthWords[1]) << 32 | lengthWords[0]; }
  void setLength(uint64_t n) {
    lengthWords[0] = uint32_t(n);
    lengthWords[1] = uint32_t(n >> 32);
  }
};

}  // namespace vexil::script
