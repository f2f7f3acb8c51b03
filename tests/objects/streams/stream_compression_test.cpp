#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "objects/streams/stream_compression.h"

namespace vexil::objects {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

// "hello" as zlib's compress2 writes it at level 6: header 78 9C, deflate data, Adler-32 062C0215.
const Bytes kHelloZlib = {0x78, 0x9C, 0xCB, 0x48, 0xCD, 0xC9, 0xC9, 0x07, 0x00, 0x06, 0x2C, 0x02, 0x15};

// Data that deflate can neither shrink to nothing nor leave alone.
Bytes mixedData(size_t size) {
  Bytes data(size);
  uint32_t x = 12345;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245 + 12345;
    data[i] = (i % 7 == 0) ? uint8_t(x >> 24) : uint8_t('a' + i % 13);
  }
  return data;
}

TEST(StreamCompression, KnownStreamInflatesAndRoundTripsAcrossBlockSizes) {
  EXPECT_EQ(uncompressBytes(kHelloZlib), bytesOf("hello"));
  for (size_t size : {size_t(0), size_t(1), kStreamBlockSize - 1, kStreamBlockSize, kStreamBlockSize + 1,
                      size_t(300000)}) {
    Bytes data = mixedData(size);
    auto packed = compressBytes(data);
    ASSERT_TRUE(packed) << size;
    EXPECT_EQ((*packed)[0], 0x78);  // a zlib header with a 32 KiB window
    EXPECT_EQ(((*packed)[0] * 256 + (*packed)[1]) % 31, 0);
    EXPECT_EQ(uncompressBytes(*packed), data) << size;
  }
}

TEST(StreamCompression, LevelsZlibKnowsWorkOthersFail) {
  Bytes data = mixedData(10000);
  for (int level : {-1, 0, 1, 6, 9}) {
    auto packed = compressBytes(data, level);
    ASSERT_TRUE(packed) << level;
    EXPECT_EQ(uncompressBytes(*packed), data);
  }
  EXPECT_LT(compressBytes(data, 9)->size(), compressBytes(data, 0)->size());
  EXPECT_FALSE(compressBytes(data, 10));
  EXPECT_FALSE(compressBytes(data, -2));
}

TEST(StreamCompression, DamagedOrIncompleteStreamsGiveNothing) {
  Bytes truncated(kHelloZlib.begin(), kHelloZlib.begin() + 12);
  Bytes badChecksum = kHelloZlib;
  badChecksum[12] ^= 1;
  Bytes badHeader = kHelloZlib;
  badHeader[1] ^= 0xFF;
  Bytes badBlockType = kHelloZlib;
  badBlockType[2] = 0x07;  // final block of the reserved type 3
  Bytes dictionary = {0x78, 0xBB, 0, 0, 0, 1};  // asks for a preset dictionary
  for (const Bytes& bad :
       {Bytes{}, truncated, badChecksum, badHeader, badBlockType, dictionary, bytesOf("not zlib at all")}) {
    EXPECT_FALSE(uncompressBytes(bad));
  }
  Bytes trailing = kHelloZlib;
  trailing.push_back(0xEE);  // bytes after the end of the stream are ignored
  EXPECT_EQ(uncompressBytes(trailing), bytesOf("hello"));
}

TEST(StreamCompression, ABombStopsAtTheLimit) {
  // 64 MiB of zeros packs into about 64 KiB; a 1 MiB limit must refuse it without producing it.
  Bytes zeros(size_t(64) << 20);
  Bytes bomb = *compressBytes(zeros, 9);
  EXPECT_LT(bomb.size(), size_t(100) << 10);
  EXPECT_FALSE(uncompressBytes(bomb, size_t(1) << 20));
  EXPECT_EQ(uncompressBytes(bomb, zeros.size())->size(), zeros.size());  // exactly at the limit is fine
  EXPECT_FALSE(uncompressBytes(bomb, zeros.size() - 1));
}

TEST(StreamCompression, CrcIsZlibsCrc32FromZero) {
  EXPECT_EQ(crc32Of({}), 0u);
  EXPECT_EQ(crc32Of(bytesOf("123456789")), 0xCBF43926u);  // the CRC-32 check value
  Bytes big = mixedData(3 << 20);
  EXPECT_EQ(crc32Of(big), uint32_t(crc32_z(0, big.data(), big.size())));
}

}  // namespace
}  // namespace vexil::objects
