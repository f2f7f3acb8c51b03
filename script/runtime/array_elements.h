#pragma once
// The element store of an array value: find, store and remove by 64-bit index, and the length.
// The virtual machine reads and writes elements through these; the Array class builds its members
// on them.
#include <cstdint>

#include "script/runtime/array_record.h"

namespace vexil::script {

struct Engine;

// A new empty array (length 0) in the engine heap; raises "Out of memory" when the heap is full.
ArrayRecord* newArray(Engine& engine);
// The element's value, or null for a hole or an index at or past the length.
Value* findElement(const ArrayRecord& array, uint64_t index);
// Stores the element, raising the length to index + 1 when needed.
void storeElement(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value);
// Removes the element (the length stays); false when there was none.
bool removeElement(Engine& engine, ArrayRecord& array, uint64_t index);

}  // namespace vexil::script
