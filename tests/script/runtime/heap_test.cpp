#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/heap_internal.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script::test {
namespace {

using HeapTest = RuntimeTest;

TEST(HeapSizing, RequestsRoundToPowersOfTwoAboveTheMinimum) {
  struct Case {
    size_t request, area;
  };
  const Case cases[] = {
      {1, kMinBlockSize}, {2, kMinBlockSize}, {3, kMinBlockSize}, {4, kMinBlockSize},
      {5, 8},            {8, 8},             {9, 16},            {33, 64},
      {64, 64},          {65536, 65536},     {65537, 131072},
  };
  for (const Case& c : cases) EXPECT_EQ(roundBlockSize(c.request), c.area) << c.request;
  EXPECT_EQ(kMinBlockSize, sizeof(void*) == 4 ? 4u : 8u);
}

TEST(HeapSizing, SizeClassesAreLogarithmicAndCapped) {
  struct Case {
    size_t size;
    int cls;
  };
  const Case cases[] = {{4, 0},  {7, 0},  {8, 1},      {15, 1},     {16, 2},
                        {64, 4}, {65, 4}, {128, 5},    {1u << 20, 18},
                        {1u << 21, 19}, {1u << 26, 19}};
  for (const Case& c : cases) EXPECT_EQ(sizeClassOf(c.size), c.cls) << c.size;
}

TEST(HeapSizing, WordSizeFigures) {
  if (sizeof(void*) == 4) {
    EXPECT_EQ(kHeaderSize, 4u);
    EXPECT_EQ(kChunkOverhead, 12u);
    EXPECT_EQ(kLargestChunkBlock, 102388u);
  } else {
    // Widened so that user areas stay 8-byte aligned.
    EXPECT_EQ(kHeaderSize, 8u);
    EXPECT_EQ(kChunkOverhead, 24u);
  }
}

TEST_F(HeapTest, SmallRequestsGetTheirRoundedAreaWithoutAFlag) {
  for (size_t request : {1u, 4u, 5u, 33u, 100u}) {
    void* p = allocBlock(engine(), request);
    EXPECT_EQ(blockSize(p), roundBlockSize(request));
    EXPECT_EQ(blockHeader(p) & 3, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(void*), 0u);
  }
}

TEST_F(HeapTest, LargeRequestsGetAChunkOfTheirOwn) {
  size_t before = engine().heap.systemBytes;
  void* fits = allocBlock(engine(), 65536);  // from an ordinary chunk
  EXPECT_EQ(blockSize(fits), 65536u);
  size_t afterOrdinary = engine().heap.systemBytes;
  EXPECT_TRUE(afterOrdinary == before || afterOrdinary == before + kChunkSize);

  void* own = allocBlock(engine(), 65537);
  EXPECT_EQ(blockSize(own), 131072u);
  EXPECT_EQ(engine().heap.systemBytes, afterOrdinary + 131072 + kChunkOverhead);
  // The dedicated chunk's block sits right after the chunk record.
  Chunk* newest = engine().heap.chunks;
  EXPECT_EQ(static_cast<char*>(own), chunkBegin(newest) + kHeaderSize);
  EXPECT_EQ(newest->usable, 131072 + kHeaderSize);
}

TEST_F(HeapTest, FreshChunkHoldsOneBlockThatSplitsFromTheFront) {
  // Force a fresh chunk by taking a block too big for what is left in the current ones.
  void* a = allocBlock(engine(), 65536);
  void* b = allocBlock(engine(), 65536);
  Chunk* chunk = engine().heap.chunks;
  EXPECT_EQ(static_cast<char*>(b), chunkBegin(chunk) + kHeaderSize);
  // The rest of the chunk is the remainder, right behind the block.
  void* c = allocBlock(engine(), 16);
  EXPECT_EQ(static_cast<char*>(c), static_cast<char*>(b) + 65536 + kHeaderSize);
  EXPECT_NE(a, b);
}

TEST_F(HeapTest, FreedBlockIsReusedFirst) {
  void* a = allocBlock(engine(), 24);
  allocBlock(engine(), 24);
  freeBlock(engine(), a);
  EXPECT_EQ(allocBlock(engine(), 20), a);
}

TEST_F(HeapTest, SplitsOnlyWhenTheRemainderCanHoldABlock) {
  const size_t r = 2 * kHeaderSize;  // 8 bytes on 32-bit targets, 16 on 64-bit
  void* exact = allocBlock(engine(), 2 * r);  // exactly the request plus two headers
  allocBlock(engine(), 1);                    // a live neighbour keeps the freed block apart
  freeBlock(engine(), exact);
  void* taken = allocBlock(engine(), r);
  EXPECT_EQ(taken, exact);
  EXPECT_EQ(blockSize(taken), 2 * r);

  void* larger = allocBlock(engine(), 4 * r);
  allocBlock(engine(), 1);
  freeBlock(engine(), larger);
  taken = allocBlock(engine(), r);
  EXPECT_EQ(taken, larger);
  EXPECT_EQ(blockSize(taken), r);
  // The remainder follows the taken block and is handed out next.
  void* rest = allocBlock(engine(), r);
  EXPECT_EQ(static_cast<char*>(rest), static_cast<char*>(larger) + r + kHeaderSize);
}

TEST_F(HeapTest, ReallocKeepsFittingBlocksAndCopiesOnGrowth) {
  auto* p = static_cast<char*>(reallocBlock(engine(), nullptr, 10));
  EXPECT_EQ(blockSize(p), 16u);
  std::memcpy(p, "0123456789abcdef", 16);
  EXPECT_EQ(reallocBlock(engine(), p, 16), p);
  auto* q = static_cast<char*>(reallocBlock(engine(), p, 17));
  EXPECT_NE(q, p);
  EXPECT_EQ(blockSize(q), 32u);
  EXPECT_EQ(std::memcmp(q, "0123456789abcdef", 16), 0);
}

TEST_F(HeapTest, FinalizedBlocksAreZeroedAndFlagged) {
  auto* p = static_cast<unsigned char*>(allocFinalized(engine(), 40));
  EXPECT_EQ(blockHeader(p) & kFinalizerBit, kFinalizerBit);
  for (size_t i = 0; i < blockSize(p); ++i) ASSERT_EQ(p[i], 0);
  freeBlock(engine(), p);  // refused: only the collector may reclaim it, finalizer and all
  EXPECT_EQ(blockHeader(p) & kFinalizerBit, kFinalizerBit);
}

TEST_F(HeapTest, NullCountsAsMarked) {
  EXPECT_TRUE(isMarked(nullptr));
  void* p = allocBlock(engine(), 8);
  EXPECT_FALSE(isMarked(p));
  EXPECT_TRUE(markBlock(p));
  EXPECT_FALSE(markBlock(p));
  EXPECT_TRUE(isMarked(p));
}

TEST_F(HeapTest, ExhaustedHeapRaisesOutOfMemoryThroughTheUnwind) {
  engine().heap.systemLimit = engine().heap.systemBytes + 2 * kChunkSize;
  size_t taken = 0;
  bool ok = protectedCall(engine(), [&] {
    for (;;) {
      allocBlock(engine(), 1000);
      ++taken;
    }
  });
  EXPECT_FALSE(ok);
  EXPECT_GT(taken, 100u);
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
  // Requests no system could serve fail the same way, not by wrapping around.
  EXPECT_FALSE(protectedCall(engine(), [&] { allocBlock(engine(), SIZE_MAX - 3); }));
  EXPECT_STREQ(engine().message, "Runtime error: Out of memory");
  // The engine is still usable once memory is back.
  engine().heap.systemLimit = 0;
  EXPECT_TRUE(protectedCall(engine(), [&] { allocBlock(engine(), 1000); }));
}

TEST_F(HeapTest, SmallBlocksNeverOverlap) {
  std::vector<std::pair<char*, size_t>> blocks;
  for (int i = 0; i < 2000; ++i) {
    size_t size = 1 + (i * 37) % 300;
    auto* p = static_cast<char*>(allocBlock(engine(), size));
    std::memset(p, i & 0xFF, size);
    blocks.emplace_back(p, size);
    if (i % 3 == 0) {
      freeBlock(engine(), blocks[i / 2].first);
      blocks[i / 2].second = 0;
    }
  }
  for (size_t i = 0; i < blocks.size(); ++i) {
    for (size_t k = 0; k < blocks[i].second; ++k) ASSERT_EQ(blocks[i].first[k], char(i & 0xFF)) << i;
  }
}

}  // namespace
}  // namespace vexil::script::test
