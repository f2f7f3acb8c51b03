#pragma once
// Heap internals shared by the allocator and the collector's sweep.
#include "script/runtime/heap.h"

#if defined(__SANITIZE_ADDRESS__)
#define VEXIL_HEAP_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEXIL_HEAP_POISON 1
#endif
#endif
#ifdef VEXIL_HEAP_POISON
#include <sanitizer/asan_interface.h>
#endif

namespace vexil::script {

struct Chunk {
  Chunk* previous;
  uintptr_t usable;  // bytes of blocks (headers included) after this record
};
static_assert(sizeof(Chunk) == 2 * sizeof(void*));

inline char* chunkBegin(Chunk* chunk) { return reinterpret_cast<char*>(chunk + 1); }
inline char* chunkEnd(Chunk* chunk) { return chunkBegin(chunk) + chunk->usable; }

inline void*& freeLink(void* user) { return *static_cast<void**>(user); }

// Under AddressSanitizer a free block's user area (after its list link) is poisoned, so that a
// reference the collector failed to keep alive is reported at its first use.
inline void poisonFreeArea(void* user, size_t size) {
#ifdef VEXIL_HEAP_POISON
  ASAN_POISON_MEMORY_REGION(static_cast<char*>(user) + sizeof(void*), size - sizeof(void*));
#else
  (void)user, (void)size;
#endif
}
inline void unpoisonArea(void* begin, size_t size) {
#ifdef VEXIL_HEAP_POISON
  ASAN_UNPOISON_MEMORY_REGION(begin, size);
#else
  (void)begin, (void)size;
#endif
}

// Puts a block at the head of its class's list as a free block of the given size.
void pushFreeBlock(HeapState& heap, void* user, size_t size);
// Poisons every free block; the sweep does this once it has run every finalizer.
void poisonFreeLists(HeapState& heap);
void clearFreeLists(HeapState& heap);
// Returns every chunk to the system.
void releaseChunks(HeapState& heap);

}  // namespace vexil::script
