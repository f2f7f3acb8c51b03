#pragma once
// The engine heap: a size-classed first-fit allocator over large chunks taken from the system.
//
// Every block is preceded by one header word: the size of the user area shifted left by 2, bit 1
// set when the first user word holds a finalizer, bit 0 the collector's mark. A chunk starts with a
// link to the previous chunk and its usable length, followed by blocks laid end to end. Free blocks
// keep the link to the next free block of their list in their first user word.
//
// On 32-bit targets a header is 4 bytes, a chunk costs 12 bytes of overhead and the smallest user
// area is 4 bytes. On 64-bit targets every one of these words is widened to 8 bytes so that user
// areas stay 8-byte aligned and a free block can hold its 8-byte list link.
#include <cstddef>
#include <cstdint>

namespace vexil::script {

struct Engine;
struct Chunk;

using BlockHeader = uintptr_t;
using Finalizer = void (*)(void* user);

inline constexpr size_t kHeaderSize = sizeof(BlockHeader);
inline constexpr size_t kMinBlockSize = sizeof(void*);
inline constexpr size_t kChunkSize = 102400;
inline constexpr size_t kChunkOverhead = 2 * sizeof(void*) + kHeaderSize;
// Rounded requests above this size get a chunk of their own.
inline constexpr size_t kLargestChunkBlock = kChunkSize - kChunkOverhead;
inline constexpr int kSizeClassCount = 20;
inline constexpr size_t kDefaultCollectionThreshold = 0x200000;

inline constexpr BlockHeader kMarkBit = 1;
inline constexpr BlockHeader kFinalizerBit = 2;

struct HeapState {
  Chunk* chunks = nullptr;
  void* freeLists[kSizeClassCount] = {};
  uint32_t nonEmptyLists = 0;  // bit c set while list c holds a block: a quick first non-empty list
  size_t systemBytes = 0;      // taken from the system in chunks
  size_t threshold = kDefaultCollectionThreshold;
  // Allocation after which the next collection is due: the threshold, or the live bytes of the
  // last collection when they are more, so that a large live heap is not marked over and over.
  size_t pace = kDefaultCollectionThreshold;
  size_t inUse = 0;            // handed out since the last collection (see the sweep)
  size_t freeBytes = 0;
  size_t collections = 0;
  size_t systemLimit = 0;      // 0: no limit; else chunks beyond it fail as if the system refused
};

// The smallest power of two that is at least the request and at least the minimum block.
size_t roundBlockSize(size_t request);
// The free-list class of a block size: 0 below 8, else floor(log2(size / 8)) + 1, at most 19.
int sizeClassOf(size_t size);

void* allocBlock(Engine& engine, size_t size);
void* allocFinalized(Engine& engine, size_t size);
void freeBlock(Engine& engine, void* user);
void* reallocBlock(Engine& engine, void* user, size_t size);
bool isMarked(const void* user);

// Sets the mark bit; false when the block was already marked (null counts as marked).
bool markBlock(void* user);

inline BlockHeader& blockHeader(void* user) {
  return *reinterpret_cast<BlockHeader*>(static_cast<char*>(user) - kHeaderSize);
}
inline size_t blockSize(const void* user) {
  return *reinterpret_cast<const BlockHeader*>(static_cast<const char*>(user) - kHeaderSize) >> 2;
}

}  // namespace vexil::script
