#pragma once
// System-heap helpers for what the runtime keeps outside the engine heap (host buffers, names).
// With an engine, a failure is the runtime error "Out of memory"; without one (while an engine is
// being built) they answer null. Blocks are released with std::free.
#include <cstddef>
#include <string_view>

namespace vexil::script {

struct Engine;

void* systemAlloc(Engine* engine, size_t size);
void* systemAllocZeroed(Engine* engine, size_t size);
void* systemRealloc(Engine* engine, void* block, size_t size);
// Terminated copies.
char* systemDupAnsi(Engine* engine, std::string_view text);
char16_t* systemDupUtf16(Engine* engine, std::u16string_view text);

}  // namespace vexil::script
