#include "net/socket/stream_transfer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexil::net {
namespace {

using objects::StringStream;

StringStream streamOf(size_t size) {
  std::vector<uint8_t> content(size);
  for (size_t i = 0; i < size; ++i) content[i] = uint8_t(i);
  return StringStream(objects::kStreamInOut, content);
}

TEST(StreamTransfer, ASendOffersOnlyTheUnreadPartUpToTheLength) {
  StringStream stream = streamOf(10);
  EXPECT_EQ(unsentBytes(stream, 4).size(), 4u);
  EXPECT_EQ(unsentBytes(stream, 100).size(), 10u);
  stream.seekGet(7);
  auto rest = unsentBytes(stream, 100);
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(rest[0], 7);
  stream.seekGet(10);
  EXPECT_TRUE(unsentBytes(stream, 100).empty());
  EXPECT_TRUE(unsentBytes(stream, 0).empty());
  EXPECT_TRUE(unsentBytes(StringStream(), 5).empty());
}

TEST(StreamTransfer, AStreamThatCannotBeReadOffersNothing) {
  StringStream writeOnly(objects::kStreamOut, {1, 2, 3});
  EXPECT_TRUE(unsentBytes(writeOnly, 3).empty());
  StringStream closed = streamOf(3);
  closed.close();
  EXPECT_TRUE(unsentBytes(closed, 3).empty());
}

TEST(StreamTransfer, APartialSendLeavesTheRestForTheNext) {
  StringStream stream = streamOf(10);
  EXPECT_EQ(unsentBytes(stream, 10).size(), 10u);
  markSent(stream, 6);
  EXPECT_EQ(stream.getPos(), 6u);
  auto rest = unsentBytes(stream, 10);
  ASSERT_EQ(rest.size(), 4u);
  EXPECT_EQ(rest[0], 6);
}

TEST(StreamTransfer, AFailedSendGivesEveryByteBack) {
  StringStream stream = streamOf(10);
  stream.seekGet(2);
  for (long failed : {-1L, 0L}) {
    markSent(stream, failed);
    EXPECT_EQ(stream.getPos(), 2u);
  }
}

TEST(StreamTransfer, AReceiveWritesAtThePutPositionOnlyWhatArrived) {
  StringStream stream(objects::kStreamInOut, {9, 9, 9, 9});
  stream.seekPut(2);
  std::vector<uint8_t> buffer = {1, 2, 3, 4, 5};
  storeReceived(stream, buffer, 3);
  EXPECT_EQ(std::vector<uint8_t>(stream.bytes().begin(), stream.bytes().end()), (std::vector<uint8_t>{9, 9, 1, 2, 3}));
  storeReceived(stream, buffer, 0);
  storeReceived(stream, buffer, -1);
  EXPECT_EQ(stream.size(), 5u);
}

}  // namespace
}  // namespace vexil::net
