#include "script/runtime/value_array.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "script/runtime/runtime_error.h"

namespace vexil::script {

void reserveValues(Engine& engine, ValueArray& array, uint32_t needed) {
  if (needed <= array.capacity) return;
  if (array.capacity > UINT32_MAX - kValueArrayGrowth ||
      size_t(array.capacity) + kValueArrayGrowth > SIZE_MAX / sizeof(Value)) {
    raiseOutOfMemory(engine);
  }
  uint32_t capacity = array.capacity + kValueArrayGrowth;
  auto* data = static_cast<Value*>(std::realloc(array.data, size_t(capacity) * sizeof(Value)));
  if (!data) raiseOutOfMemory(engine);
  for (uint32_t i = array.capacity; i < capacity; ++i) new (&data[i]) Value();
  array.data = data;
  array.capacity = capacity;
}

void releaseValues(ValueArray& array) {
  std::free(array.data);
  array = ValueArray();
}

}  // namespace vexil::script
