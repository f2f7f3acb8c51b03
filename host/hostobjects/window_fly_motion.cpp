#include "host/hostobjects/window_fly_motion.h"

namespace vexil::hostobjects {

namespace {

FlyPoint homeOf(int64_t corner, const FlyArea& area, int64_t width, int64_t height) {
  switch (corner) {
    case 0: return {area.right - width, area.bottom - height};
    case 1: return {area.right - width, area.top};
    case 2: return {area.left, area.top};
    default: return {area.left, area.bottom - height};
  }
}

FlyPoint awayOf(int64_t corner, int64_t direction, FlyPoint home, const FlyArea& area, int64_t width,
                int64_t height) {
  FlyPoint away = home;
  bool right = corner == 0 || corner == 1;
  bool bottom = corner == 0 || corner == 3;
  if (direction != 1) away.x = right ? area.right : area.left - width;
  if (direction != 0) away.y = bottom ? area.bottom : area.top - height;
  return away;
}

}  // namespace

FlyEnds flyEnds(int64_t corner, int64_t direction, bool slideIn, const FlyArea& workArea, int64_t width,
                int64_t height) {
  if (corner < 0 || corner > kLastFlyCorner) corner = kLastFlyCorner;
  if (direction < 0 || direction > kLastFlyDirection) direction = kLastFlyDirection;
  FlyPoint home = homeOf(corner, workArea, width, height);
  FlyPoint away = awayOf(corner, direction, home, workArea, width, height);
  return slideIn ? FlyEnds{away, home} : FlyEnds{home, away};
}

void flyMotion(FlyPoint from, FlyPoint to, const std::function<void(FlyPoint)>& place,
               const std::function<void()>& pause) {
  if (from == to) return;
  if (from.x == to.x) {
    int64_t step = to.y > from.y ? 1 : -1;
    for (int64_t y = from.y;; y += step) {
      if (y != from.y) pause();
      place({from.x, y});
      if (y == to.y) return;
    }
  }
  int64_t span = to.x > from.x ? to.x - from.x : from.x - to.x;
  int64_t step = to.x > from.x ? 1 : -1;
  place(from);
  for (int64_t k = 1; k <= span; ++k) {
    pause();
    place({from.x + k * step, from.y + k * (to.y - from.y) / span});
  }
}

}  // namespace vexil::hostobjects
