#pragma once
// Growth of the engine's system-heap value arrays (constant pool, global slots), 1024 at a time.
#include "script/runtime/engine.h"

namespace vexil::script {

// Makes room for `needed` values; new slots are Undefined. Raises "Out of memory" on failure.
void reserveValues(Engine& engine, ValueArray& array, uint32_t needed);
void releaseValues(ValueArray& array);

}  // namespace vexil::script
