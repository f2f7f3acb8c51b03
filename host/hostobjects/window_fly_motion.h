#pragma once
// The motion of Window.fly and Window.fly2, apart from the window it moves: where a fly starts and
// ends, and the placements of the slide, one pixel of travel per step. Portable: the window side
// (work area, placing the window, the pause between steps) is the caller's.
#include <cstdint>
#include <functional>

namespace vexil::hostobjects {

struct FlyPoint {
  int64_t x = 0;
  int64_t y = 0;
  bool operator==(const FlyPoint&) const = default;
};

struct FlyArea {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
};

struct FlyEnds {
  FlyPoint from;
  FlyPoint to;
};

// Corners: 0 bottom-right, 1 top-right, 2 top-left, 3 bottom-left (others count as 3).
// Directions: 0 out sideways, 1 out up or down, 2 both (others count as 2).
inline constexpr int64_t kLastFlyCorner = 3;
inline constexpr int64_t kLastFlyDirection = 2;

// Home puts the window's corner on the same corner of the work area; away is just outside the
// area next to home. Sliding in goes from away to home, sliding out from home to away.
FlyEnds flyEnds(int64_t corner, int64_t direction, bool slideIn, const FlyArea& workArea, int64_t width,
                int64_t height);

// Calls place for every placement of the slide from `from` to `to`, and pause before every
// placement but the first. Nothing when the points are equal. A vertical slide steps y by one; any
// other steps x by one and puts y on the line between the points (integer arithmetic, rounding
// toward the start).
void flyMotion(FlyPoint from, FlyPoint to, const std::function<void(FlyPoint)>& place,
               const std::function<void()>& pause);

}  // namespace vexil::hostobjects
