#include "objects/files/file_times.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vexil::objects::files {
namespace {

struct TimeCase {
  uint64_t fileTime;
  int64_t timeValue;
};

// 1970, 1601 (the first file time), a millisecond into 2001, and a time before 1970.
const TimeCase kTimes[] = {
    {116444736000000000ULL, 0},
    {0, -11644473600000LL},
    {126227808000010000ULL, 978307200001LL},
    {116444735999990000ULL, -1},
};

TEST(FileTimes, ConvertBothWaysWithoutLoss) {
  for (const TimeCase& c : kTimes) {
    EXPECT_EQ(fileTimeToTimeValue(c.fileTime), c.timeValue) << c.fileTime;
    EXPECT_EQ(timeValueToFileTime(double(c.timeValue)), c.fileTime) << c.timeValue;
  }
}

TEST(FileTimes, FractionsOfAMillisecondAreDropped) {
  EXPECT_EQ(timeValueToFileTime(1.75), kFileTimeOf1970 + 10000);
  EXPECT_EQ(timeValueToFileTime(-0.5), kFileTimeOf1970);
  EXPECT_EQ(fileTimeToTimeValue(kFileTimeOf1970 + 19999), 1);
}

TEST(FileTimes, ValuesAFileTimeCannotHoldAreRefused) {
  const double kRefused[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), -11644473600001.0, 1e300, -1e300,
                             // the first millisecond past what 64 bits of ticks hold
                             double(UINT64_MAX / 10000 - 11644473600000ULL) + 1};
  for (double t : kRefused) EXPECT_FALSE(timeValueToFileTime(t).has_value()) << t;
}

TEST(FileTimes, TheLastMillisecondThatFitsIsTaken) {
  double last = double(UINT64_MAX / 10000 - 11644473600000ULL);
  auto fileTime = timeValueToFileTime(last);
  ASSERT_TRUE(fileTime.has_value());
  EXPECT_GE(*fileTime, UINT64_MAX - 20000);
}

}  // namespace
}  // namespace vexil::objects::files
