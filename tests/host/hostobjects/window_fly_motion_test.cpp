// The slide of Window.fly and fly2: where it starts and ends, and every placement on the way.
#include <gtest/gtest.h>

#include <vector>

#include "host/hostobjects/window_fly_motion.h"

namespace vexil::hostobjects {
namespace {

std::vector<FlyPoint> placements(FlyPoint from, FlyPoint to, int* pauses = nullptr) {
  std::vector<FlyPoint> points;
  int count = 0;
  flyMotion(from, to, [&](FlyPoint p) { points.push_back(p); }, [&] { ++count; });
  if (pauses) *pauses = count;
  return points;
}

TEST(FlyMotion, EqualPointsPlaceNothing) { EXPECT_TRUE(placements({5, 5}, {5, 5}).empty()); }

TEST(FlyMotion, VerticalSlideStepsYAndPausesBetweenSteps) {
  int pauses = 0;
  auto points = placements({3, 10}, {3, 7}, &pauses);
  EXPECT_EQ(points, (std::vector<FlyPoint>{{3, 10}, {3, 9}, {3, 8}, {3, 7}}));
  EXPECT_EQ(pauses, 3);
}

TEST(FlyMotion, SlopedSlideFollowsTheLineRoundingTowardTheStart) {
  int pauses = 0;
  auto points = placements({0, 0}, {4, 6}, &pauses);
  EXPECT_EQ(points, (std::vector<FlyPoint>{{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 6}}));
  EXPECT_EQ(pauses, 4);
  // Leftward travel: the division follows the direction, so y still moves toward y2.
  EXPECT_EQ(placements({4, 0}, {0, -6}),
            (std::vector<FlyPoint>{{4, 0}, {3, -1}, {2, -3}, {1, -4}, {0, -6}}));
  EXPECT_EQ(placements({0, 9}, {2, 9}), (std::vector<FlyPoint>{{0, 9}, {1, 9}, {2, 9}}));
}

struct EndsCase {
  int64_t corner, direction;
  bool slideIn;
  FlyPoint from, to;
};

TEST(FlyEnds, HomeCornersAndAwayPositions) {
  const FlyArea area{0, 0, 1000, 800};  // window 100 x 50
  const EndsCase cases[] = {
      {0, 0, true, {1000, 750}, {900, 750}},   // bottom-right, out to the right
      {0, 1, true, {900, 800}, {900, 750}},    // bottom-right, out below
      {0, 2, true, {1000, 800}, {900, 750}},   // both
      {1, 0, true, {1000, 0}, {900, 0}},       // top-right
      {1, 1, true, {900, -50}, {900, 0}},      // top-right, out above
      {2, 0, true, {-100, 0}, {0, 0}},         // top-left, out to the left
      {2, 2, true, {-100, -50}, {0, 0}},
      {3, 1, true, {0, 800}, {0, 750}},        // bottom-left, out below
      {3, 0, false, {0, 750}, {-100, 750}},    // sliding out goes home to away
      {7, 9, true, {-100, 800}, {0, 750}},     // out of range: corner 3, direction 2
      {-1, -1, false, {0, 750}, {-100, 800}},
  };
  for (const EndsCase& c : cases) {
    FlyEnds ends = flyEnds(c.corner, c.direction, c.slideIn, area, 100, 50);
    EXPECT_EQ(ends.from, c.from) << "corner " << c.corner << " direction " << c.direction;
    EXPECT_EQ(ends.to, c.to) << "corner " << c.corner << " direction " << c.direction;
  }
}

}  // namespace
}  // namespace vexil::hostobjects
