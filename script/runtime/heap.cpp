// The allocator: power-of-two requests, first fit over 20 size-classed free lists, splitting of
// larger blocks, and fresh chunks from the system when no list has a fitting block.
#include <bit>
#include <cstdlib>
#include <cstring>

#include "script/runtime/engine.h"
#include "script/runtime/heap_internal.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

namespace {

// Larger requests cannot be rounded to a power of two in a size_t, nor shifted into a header.
constexpr size_t kLargestRequest = (SIZE_MAX >> 3) + 1;

void* unlinkFit(HeapState& heap, int cls, size_t size) {
  void** link = &heap.freeLists[cls];
  for (void* block = *link; block; link = &freeLink(block), block = *link) {
    if (blockSize(block) < size) continue;
    *link = freeLink(block);
    if (!heap.freeLists[cls]) heap.nonEmptyLists &= ~(1u << cls);
    return block;
  }
  return nullptr;
}

// First fit from the request's own class upwards; lists known to be empty are skipped at once.
void* takeFreeBlock(HeapState& heap, size_t size) {
  uint32_t candidates = heap.nonEmptyLists & (~0u << sizeClassOf(size));
  while (candidates) {
    int cls = std::countr_zero(candidates);
    if (void* block = unlinkFit(heap, cls, size)) return block;
    candidates &= ~(1u << cls);
  }
  return nullptr;
}

void addChunk(Engine& engine, size_t size) {
  HeapState& heap = engine.heap;
  size_t total = size > kLargestChunkBlock ? size + kChunkOverhead : kChunkSize;
  if (heap.systemLimit && heap.systemBytes + total > heap.systemLimit) raiseOutOfMemory(engine);
  auto* chunk = static_cast<Chunk*>(std::malloc(total));
  if (!chunk) raiseOutOfMemory(engine);
  chunk->previous = heap.chunks;
  chunk->usable = total - sizeof(Chunk);
  heap.chunks = chunk;
  heap.systemBytes += total;
  void* user = chunkBegin(chunk) + kHeaderSize;
  pushFreeBlock(heap, user, total - kChunkOverhead);
}

}  // namespace

size_t roundBlockSize(size_t request) {
  return request <= kMinBlockSize ? kMinBlockSize : std::bit_ceil(request);
}

int sizeClassOf(size_t size) {
  if (size < 8) return 0;
  int cls = std::bit_width(size / 8);  // floor(log2(size / 8)) + 1
  return cls < kSizeClassCount ? cls : kSizeClassCount - 1;
}

void pushFreeBlock(HeapState& heap, void* user, size_t size) {
  int cls = sizeClassOf(size);
  blockHeader(user) = BlockHeader(size) << 2;
  freeLink(user) = heap.freeLists[cls];
  heap.freeLists[cls] = user;
  heap.nonEmptyLists |= 1u << cls;
  heap.freeBytes += size;
}

void clearFreeLists(HeapState& heap) {
  for (void*& list : heap.freeLists) list = nullptr;
  heap.nonEmptyLists = 0;
  heap.freeBytes = 0;
}

void poisonFreeLists(HeapState& heap) {
  for (void* list : heap.freeLists) {
    for (void* block = list; block; block = freeLink(block)) poisonFreeArea(block, blockSize(block));
  }
}

void releaseChunks(HeapState& heap) {
  while (Chunk* chunk = heap.chunks) {
    heap.chunks = chunk->previous;
    unpoisonArea(chunk, sizeof(Chunk) + chunk->usable);
    std::free(chunk);
  }
  clearFreeLists(heap);
  heap.systemBytes = 0;
}

namespace {

// The general allocation: first fit from the request's class upwards, a fresh chunk when no list
// has a fitting block, and the remainder of a larger block back on its list.
[[gnu::noinline]] void* allocSearching(Engine& engine, size_t size) {
  HeapState& heap = engine.heap;
  void* block = takeFreeBlock(heap, size);
  if (!block) {
    addChunk(engine, size);
    block = takeFreeBlock(heap, size);
  }
  size_t have = blockSize(block);
  heap.freeBytes -= have;
  unpoisonArea(block, have);
  if (have > size + 2 * kHeaderSize) {
    char* rest = static_cast<char*>(block) + size + kHeaderSize;
    size_t restSize = have - size - kHeaderSize;
    pushFreeBlock(heap, rest, restSize);
    poisonFreeArea(rest, restSize);
    have = size;
  }
  blockHeader(block) = BlockHeader(have) << 2;
  heap.inUse += have;
  return block;
}

}  // namespace

void* allocBlock(Engine& engine, size_t size) {
  HeapState& heap = engine.heap;
  if (size > kLargestRequest) raiseOutOfMemory(engine);
  size = roundBlockSize(size);
  // The usual case takes the head of the first non-empty list from the request's class up: whole,
  // or split with the remainder staying in the same list, where it simply replaces the head. This
  // is what the general path does, without its search and list updates.
  int cls = sizeClassOf(size);
  uint32_t candidates = heap.nonEmptyLists & (~0u << cls);
  if (candidates) {
    int found = std::countr_zero(candidates);
    void* head = heap.freeLists[found];
    size_t have = blockSize(head);
    if (have > size + 2 * kHeaderSize) {
      size_t restSize = have - size - kHeaderSize;
      if (sizeClassOf(restSize) == found) {
        char* rest = static_cast<char*>(head) + size + kHeaderSize;
        void* next = freeLink(head);
        unpoisonArea(head, size + kHeaderSize + sizeof(void*));
        blockHeader(rest) = BlockHeader(restSize) << 2;
        freeLink(rest) = next;
        heap.freeLists[found] = rest;
        heap.freeBytes -= size + kHeaderSize;
        blockHeader(head) = BlockHeader(size) << 2;
        heap.inUse += size;
        return head;
      }
    } else if (have >= size) {  // too small to split: the whole block goes
      void* next = freeLink(head);
      heap.freeLists[found] = next;
      if (!next) heap.nonEmptyLists &= ~(1u << found);
      heap.freeBytes -= have;
      unpoisonArea(head, have);
      blockHeader(head) = BlockHeader(have) << 2;
      heap.inUse += have;
      return head;
    }
  }
  return allocSearching(engine, size);
}

void* allocFinalized(Engine& engine, size_t size) {
  void* block = allocBlock(engine, size < sizeof(Finalizer) ? sizeof(Finalizer) : size);
  std::memset(block, 0, blockSize(block));
  blockHeader(block) |= kFinalizerBit;
  return block;
}

// Finalized blocks are left to the collector: freeing one here would skip its finalizer.
void freeBlock(Engine& engine, void* user) {
  if (!user || (blockHeader(user) & kFinalizerBit)) return;
  size_t size = blockSize(user);
  pushFreeBlock(engine.heap, user, size);
  poisonFreeArea(user, size);
}

void* reallocBlock(Engine& engine, void* user, size_t size) {
  if (!user) return allocBlock(engine, size);
  size_t have = blockSize(user);
  if (have >= size) return user;
  void* fresh = allocBlock(engine, size);
  std::memcpy(fresh, user, have < size ? have : size);
  freeBlock(engine, user);
  return fresh;
}

bool isMarked(const void* user) {
  if (!user) return true;
  return *reinterpret_cast<const BlockHeader*>(static_cast<const char*>(user) - kHeaderSize) &
         kMarkBit;
}

bool markBlock(void* user) {
  if (!user) return false;
  BlockHeader& header = blockHeader(user);
  if (header & kMarkBit) return false;
  header |= kMarkBit;
  return true;
}

}  // namespace vexil::script
