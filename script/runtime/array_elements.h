#pragma once
// The element store of an array value: find, store and remove by 64-bit index, the length, the
// bulk moves the Array class is built on (renumbering, reversal, truncation) and ordered visits.
// The virtual machine reads and writes elements through these; the Array class builds its members
// on them. Every operation costs time in the number of elements that exist, never in the length,
// so sparse arrays with indices near 2^64 are as cheap as small ones.
#include <cstdint>
#include <vector>

#include "script/runtime/array_record.h"

namespace vexil::script {

struct Engine;

// A new empty array (length 0, no props table) in the engine heap; raises "Out of memory" when the
// heap is full.
ArrayRecord* newArray(Engine& engine);

Value* findSparseElement(const ArrayRecord& array, uint64_t index);

// The element's value, or null for a hole (no element exists at or past the length). The pointer
// stays valid until the element is removed or the array renumbered; stores of other indices do not
// move it.
inline Value* findElement(const ArrayRecord& array, uint64_t index) {
  if (index < array.denseSpan()) {
    Value* segment = array.segments[index >> kArraySegmentBits];
    if (!segment) return nullptr;
    Value* slot = segment + (index & kArraySegmentMask);
    return slot->tag == kHoleTag ? nullptr : slot;
  }
  return array.sparseCount ? findSparseElement(array, index) : nullptr;
}

// Stores the element, raising the length to index + 1 when needed (an element at 2^64 - 1 leaves
// the length at 2^64 - 1, the largest it can be).
void storeElement(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value);
// Stores the element and leaves the length alone.
void putElement(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value);
// Removes the element (the length stays) and frees its storage at once; false when there was none.
bool removeElement(Engine& engine, ArrayRecord& array, uint64_t index);
// Removes every element; the length stays.
void clearElements(Engine& engine, ArrayRecord& array);

// The length write: every element at or past the new length is removed.
void setArrayLength(Engine& engine, ArrayRecord& array, uint64_t length);

// Adds delta to the index of every element at or past `from` (elements below it stay). Elements
// whose new index would fall outside 0 .. 2^64 - 1 are dropped. The length is left alone.
void renumberElements(Engine& engine, ArrayRecord& array, uint64_t from, int64_t delta);
// Renumber all: every index and the length move by delta (the length stays within 0 .. 2^64 - 1).
void renumberAll(Engine& engine, ArrayRecord& array, int64_t delta);
// Every element at index i moves to length - 1 - i.
void reverseElements(Engine& engine, ArrayRecord& array);

// Stores every element of `source` at its index + offset into `target` (indices that would pass
// 2^64 - 1 are dropped); the lengths stay.
void copyElements(Engine& engine, ArrayRecord& target, const ArrayRecord& source, uint64_t offset);

// The existing elements with from <= index < to, in index order. The visitor gets (index, Value&)
// and must not change the array.
std::vector<ArrayEntry*> sparseEntriesInOrder(const ArrayRecord& array, uint64_t from, uint64_t to);

template <typename Visit>
void forEachElement(const ArrayRecord& array, uint64_t from, uint64_t to, Visit&& visit) {
  uint64_t denseEnd = to < array.denseSpan() ? to : array.denseSpan();
  for (uint64_t i = from; i < denseEnd;) {
    Value* segment = array.segments[i >> kArraySegmentBits];
    uint64_t segmentEnd = (i | kArraySegmentMask) + 1;
    if (segmentEnd > denseEnd) segmentEnd = denseEnd;
    if (segment) {
      for (; i < segmentEnd; ++i) {
        Value& slot = segment[i & kArraySegmentMask];
        if (slot.tag != kHoleTag) visit(i, slot);
      }
    }
    i = segmentEnd;
  }
  if (!array.sparseCount || to <= array.denseSpan()) return;
  for (ArrayEntry* entry : sparseEntriesInOrder(array, from, to)) visit(entry->index(), entry->value);
}

template <typename Visit>
void forEachElement(const ArrayRecord& array, Visit&& visit) {
  forEachElement(array, 0, UINT64_MAX, visit);
  // An element can only sit at 2^64 - 1 when the length is saturated.
  if (Value* last = findElement(array, UINT64_MAX)) visit(UINT64_MAX, *last);
}

// Marks the element stores and every element value (for the collector).
void markArrayElements(Engine& engine, ArrayRecord& array);

}  // namespace vexil::script
