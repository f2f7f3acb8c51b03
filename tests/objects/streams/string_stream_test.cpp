// The byte buffer itself, as other host classes use it directly.
#include <gtest/gtest.h>

#include "objects/streams/string_stream.h"

namespace vexil::objects {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes contentOf(const StringStream& s) { return Bytes(s.bytes().begin(), s.bytes().end()); }

TEST(StringStreamBuffer, AppendViewAndTakeLeaveAnEmptyClearedStream) {
  StringStream s;
  const uint8_t head[] = {1, 2, 3};
  s.append(head);
  s.append(Bytes{4});
  EXPECT_EQ(contentOf(s), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(s.getByte(), 1);
  EXPECT_EQ(s.getPos(), 1u);
  EXPECT_EQ(s.putPos(), 0u);  // appending is not writing: the put position stays

  uint8_t rest[8];
  EXPECT_EQ(s.read(rest, sizeof rest), 3u);
  EXPECT_TRUE(s.eof());
  EXPECT_EQ(s.take(), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(s.size(), 0u);
  EXPECT_EQ(s.getPos(), 0u);
  EXPECT_FALSE(s.eof());
}

TEST(StringStreamBuffer, GetAndPutPositionsMoveIndependently) {
  StringStream s;
  s.write("abcdef", 6);
  EXPECT_EQ(s.getByte(), 'a');
  ASSERT_TRUE(s.seekPut(2));
  s.write("XYZWV", 5);  // overwrites, then extends
  EXPECT_EQ(contentOf(s), Bytes({'a', 'b', 'X', 'Y', 'Z', 'W', 'V'}));
  EXPECT_EQ(s.getByte(), 'b');
  EXPECT_EQ(s.getByte(), 'X');
  EXPECT_EQ(s.putPos(), 7u);
}

TEST(StringStreamBuffer, ReadingPastTheEndSetsFlagsThatOnlyASeekClears) {
  StringStream s;
  EXPECT_EQ(s.getByte(), kStreamEof);
  EXPECT_TRUE(s.eof());
  EXPECT_TRUE(s.failed());
  // The flags report but never block: a write after the failed read still lands.
  EXPECT_EQ(s.write("ab", 2), 2u);
  EXPECT_EQ(s.getByte(), 'a');
  EXPECT_TRUE(s.eof());
  ASSERT_TRUE(s.seekGet(0));
  EXPECT_FALSE(s.eof());
  EXPECT_FALSE(s.failed());
}

TEST(StringStreamBuffer, SeekingBeyondTheContentIsRefused) {
  StringStream s(kStreamInOut, {1, 2, 3});
  ASSERT_TRUE(s.seekGet(3));  // the end itself is a position
  EXPECT_FALSE(s.seekGet(4));
  EXPECT_TRUE(s.failed());
  EXPECT_EQ(s.getPos(), 3u);
  EXPECT_FALSE(s.seekPut(uint64_t(1) << 40));
  EXPECT_EQ(s.putPos(), 0u);
  EXPECT_EQ(s.size(), 3u);
}

TEST(StringStreamBuffer, UngetStepsBackAndAByteReplacesTheOneRead) {
  StringStream s(kStreamInOut, {'a', 'b'});
  EXPECT_FALSE(s.unget());  // nothing read yet
  EXPECT_TRUE(s.failed());
  s.seekGet(0);
  EXPECT_EQ(s.getByte(), 'a');
  ASSERT_TRUE(s.unget());
  EXPECT_EQ(s.getByte(), 'a');
  ASSERT_TRUE(s.unget(uint8_t('z')));
  EXPECT_EQ(s.getByte(), 'z');
  EXPECT_EQ(contentOf(s), Bytes({'z', 'b'}));

  StringStream readOnly(kStreamIn, {'a'});
  EXPECT_EQ(readOnly.getByte(), 'a');
  EXPECT_TRUE(readOnly.unget(uint8_t('a')));  // the same byte changes nothing
  EXPECT_EQ(readOnly.getByte(), 'a');
  EXPECT_FALSE(readOnly.unget(uint8_t('q')));
  EXPECT_EQ(contentOf(readOnly), Bytes({'a'}));
}

TEST(StringStreamBuffer, TheModeDecidesWhatMayBeReadAndWritten) {
  struct Case {
    uint32_t mode;
    bool reads;
    bool writes;
  };
  const Case cases[] = {
      {kStreamIn, true, false}, {kStreamOut, false, true}, {kStreamInOut, true, true}, {0, false, false},
      {kStreamInOut | 8, true, true},  // unknown bits are dropped
  };
  for (const Case& c : cases) {
    StringStream s(c.mode, {'x'});
    EXPECT_EQ(s.mode(), c.mode & kStreamInOut);
    EXPECT_EQ(s.getByte() == 'x', c.reads) << c.mode;
    EXPECT_EQ(s.write("y", 1) == 1, c.writes) << c.mode;
  }
}

TEST(StringStreamBuffer, AClosedStreamHoldsNothingAndDoesNothing) {
  StringStream s(kStreamInOut, {1, 2});
  s.close();
  EXPECT_FALSE(s.isOpen());
  EXPECT_EQ(s.size(), 0u);
  EXPECT_EQ(s.getByte(), kStreamEof);
  EXPECT_EQ(s.write("a", 1), 0u);
}

}  // namespace
}  // namespace vexil::objects
