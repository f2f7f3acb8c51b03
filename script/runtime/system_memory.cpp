#include "script/runtime/system_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "script/runtime/runtime_error.h"

namespace vexil::script {

namespace {

void* checked(Engine* engine, void* block) {
  if (!block && engine) raiseOutOfMemory(*engine);
  return block;
}

// No object can be larger than the address difference type; such sizes come from overflowed
// arithmetic and fail here, before the system allocator sees them.
bool tooLarge(size_t size) { return size > size_t(PTRDIFF_MAX); }

}  // namespace

// A zero-byte request still gets a block, so that null always means failure.
void* systemAlloc(Engine* engine, size_t size) {
  return checked(engine, tooLarge(size) ? nullptr : std::malloc(size ? size : 1));
}

void* systemAllocZeroed(Engine* engine, size_t size) {
  return checked(engine, tooLarge(size) ? nullptr : std::calloc(1, size ? size : 1));
}

void* systemRealloc(Engine* engine, void* block, size_t size) {
  return checked(engine, tooLarge(size) ? nullptr : std::realloc(block, size ? size : 1));
}

char* systemDupAnsi(Engine* engine, std::string_view text) {
  if (text.size() == SIZE_MAX) return static_cast<char*>(checked(engine, nullptr));
  auto* copy = static_cast<char*>(systemAlloc(engine, text.size() + 1));
  if (!copy) return nullptr;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = 0;
  return copy;
}

char16_t* systemDupUtf16(Engine* engine, std::u16string_view text) {
  if (text.size() >= SIZE_MAX / sizeof(char16_t)) return static_cast<char16_t*>(checked(engine, nullptr));
  auto* copy = static_cast<char16_t*>(systemAlloc(engine, (text.size() + 1) * sizeof(char16_t)));
  if (!copy) return nullptr;
  std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
  copy[text.size()] = 0;
  return copy;
}

}  // namespace vexil::script
