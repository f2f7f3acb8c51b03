#pragma once
// The layout of an array value: a sparse map from 64-bit index to Value with an explicit length.
//
// Elements live in one of two stores. Indices below the dense span sit in segments of
// kArraySegmentSize Values reached through a directory, so that reading or writing an element
// costs two loads however large the array grows; a slot tagged kHoleTag is a hole, and a null
// directory entry stands for a segment of holes. Indices at or past the dense span sit in a
// chained hash whose bucket count doubles with its entries, so that far-apart indices (anywhere up
// to 2^64 - 1) cost one entry each. The span grows only while it stays within a fixed multiple of
// the element count, and when it grows, hash entries below it move into the segments: every index
// is in exactly one store.
//
// The length is independent of which elements exist (indices below it may be holes), but no
// element exists at or past it. The collector walks both stores through markArrayElements.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "script/runtime/value.h"

namespace vexil::script {

inline constexpr uint32_t kArraySegmentBits = 10;
inline constexpr uint32_t kArraySegmentSize = 1u << kArraySegmentBits;
inline constexpr uint64_t kArraySegmentMask = kArraySegmentSize - 1;
// An unassigned tag: marks a slot of a segment that holds no element.
inline constexpr Tag kHoleTag = Tag(8);

struct ArrayEntry {
  uint32_t indexLow;  // the element index as two words, low then high
  uint32_t indexHigh;
  ArrayEntry* next;
  Value value;

  uint64_t index() const { return uint64_t(indexHigh) << 32 | indexLow; }
  void setIndex(uint64_t i) {
    indexLow = uint32_t(i);
    indexHigh = uint32_t(i >> 32);
  }
};

struct ArrayRecord {
  uint32_t lengthWords[2];  // unsigned 64-bit, low word first
  PropertyTable* props;
  Value** segments;          // directory of segmentCapacity pointers, or null
  uint32_t segmentCount;     // the dense span, in segments; directory entries past it are null
  uint32_t segmentCapacity;
  size_t denseCount;         // elements in the segments
  ArrayEntry** buckets;      // bucketCount chain heads, or null
  uint32_t bucketCount;      // 0 or a power of two
  size_t sparseCount;        // entries in the hash
  uint32_t sparseFloorWords[2];  // no hash entry has a lower index (a bound, not always reached)

  uint64_t length() const { return uint64_t(lengthWords[1]) << 32 | lengthWords[0]; }
  void setLength(uint64_t n) {
    lengthWords[0] = uint32_t(n);
    lengthWords[1] = uint32_t(n >> 32);
  }
  uint64_t denseSpan() const { return uint64_t(segmentCount) << kArraySegmentBits; }
  uint64_t sparseFloor() const { return uint64_t(sparseFloorWords[1]) << 32 | sparseFloorWords[0]; }
  void setSparseFloor(uint64_t n) {
    sparseFloorWords[0] = uint32_t(n);
    sparseFloorWords[1] = uint32_t(n >> 32);
  }
  size_t count() const { return denseCount + sparseCount; }
};

}  // namespace vexil::script
