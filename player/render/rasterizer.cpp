#include "player/render/rasterizer.h"

#include <algorithm>
#include <cmath>

namespace vexil::render {
namespace {

constexpr int32_t kOne = 1 << Rasterizer::kFracBits;
// Coordinates far outside any frame are pulled in; this keeps products inside 64 bits and lines
// that cross the frame still cross it at nearly the same place.
constexpr double kCoordinateLimit = 1 << 20;

int32_t toFixed(double value) {
  if (!(value == value)) return 0;  // NaN
  value = std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
  return static_cast<int32_t>(std::lround(value * kOne));
}

// The pixel boundary at or after the first pixel centre at or after x: a span covers exactly the
// pixels whose centres it contains.
int32_t snapToCentre(int32_t x) {
  int64_t shifted = int64_t{x} - kOne / 2 + kOne - 1;
  return static_cast<int32_t>((shifted >= 0 ? shifted / kOne : (shifted - kOne + 1) / kOne) * kOne);
}

}  // namespace

void Rasterizer::reset(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  edges_.clear();
  overflowed_ = false;
  if (partial_.size() < static_cast<size_t>(width_) + 2) {
    partial_.assign(width_ + 2, 0);
    runs_.assign(width_ + 2, 0);
    alpha_.assign(width_ + 2, 0);
  }
}

void Rasterizer::addLine(Point from, Point to) {
  int32_t x0 = toFixed(from.x), y0 = toFixed(from.y), x1 = toFixed(to.x), y1 = toFixed(to.y);
  if (y0 == y1) return;  // horizontal lines cross no sample row
  if (edges_.size() >= kMaxEdges) {
    overflowed_ = true;
    return;
  }
  if (y0 < y1) {
    edges_.push_back({x0, y0, x1, y1, 1});
  } else {
    edges_.push_back({x1, y1, x0, y0, -1});
  }
}

void Rasterizer::addQuad(Point from, Point control, Point to) {
  double dx = from.x - 2 * control.x + to.x, dy = from.y - 2 * control.y + to.y;
  double deviation = std::sqrt(dx * dx + dy * dy);
  if (!(deviation == deviation)) return;
  int steps = static_cast<int>(std::clamp(std::sqrt(deviation * 2), 1.0, 64.0));
  Point previous = from;
  for (int i = 1; i <= steps; ++i) {
    double t = static_cast<double>(i) / steps, u = 1 - t;
    Point next = i == steps ? to
                            : Point{u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                                    u * u * from.y + 2 * u * t * control.y + t * t * to.y};
    addLine(previous, next);
    previous = next;
  }
}

void Rasterizer::addSpan(int32_t from, int32_t to) {
  from = std::clamp(from, 0, width_ * kOne);
  to = std::clamp(to, 0, width_ * kOne);
  if (from >= to) return;
  int first = from >> kFracBits, last = to >> kFracBits;
  if (first == last) {
    partial_[first] += to - from;
  } else {
    partial_[first] += kOne - (from & (kOne - 1));
    runs_[first + 1] += kOne;
    runs_[last] -= kOne;
    partial_[last] += to & (kOne - 1);
  }
  touchedMin_ = std::min(touchedMin_, first);
  touchedMax_ = std::max(touchedMax_, last);
}

void Rasterizer::emitRow(int y, CoverageSink& sink) {
  if (touchedMax_ < touchedMin_) return;
  const int32_t kFull = kOne * subRows_;
  int32_t run = 0;
  int last = std::min(touchedMax_, width_ - 1);
  int x0 = touchedMin_, x1 = x0;
  for (int x = touchedMin_; x <= touchedMax_; ++x) {
    run += runs_[x];
    int32_t coverage = std::min(run + partial_[x], kFull);
    runs_[x] = partial_[x] = 0;
    if (x > last) continue;
    uint8_t value = static_cast<uint8_t>((coverage * 255 + kFull / 2) / kFull);
    alpha_[x] = value;
    if (value) x1 = x + 1;
  }
  runs_[touchedMax_ + 1] = 0;
  while (x0 < x1 && alpha_[x0] == 0) ++x0;
  if (x0 < x1) sink.row(y, x0, x1, alpha_.data() + x0);
  touchedMin_ = width_ + 1;
  touchedMax_ = -1;
}

void Rasterizer::fill(FillRule rule, CoverageSink& sink) {
  if (edges_.empty() || width_ == 0 || height_ == 0) return;
  std::sort(edges_.begin(), edges_.end(), [](const Edge& l, const Edge& r) { return l.yTop < r.yTop; });
  int32_t yMax = 0;
  for (const Edge& edge : edges_) yMax = std::max(yMax, edge.yBottom);
  int firstRow = std::max(0, edges_.front().yTop >> kFracBits);
  int lastRow = std::min(height_ - 1, (yMax - 1) >> kFracBits);
  subRows_ = antiAlias_ ? kSubRows : 1;
  active_.clear();
  size_t next = 0;
  touchedMin_ = width_ + 1;
  touchedMax_ = -1;
  // Edges wholly above the frame never become active.
  while (next < edges_.size() && edges_[next].yBottom <= firstRow * kOne) ++next;
  for (int y = firstRow; y <= lastRow; ++y) {
    int32_t rowTop = y * kOne, rowBottom = rowTop + kOne;
    while (next < edges_.size() && edges_[next].yTop < rowBottom) active_.push_back(next++);
    std::erase_if(active_, [&](size_t i) { return edges_[i].yBottom <= rowTop; });
    for (int sub = 0; sub < subRows_; ++sub) {
      int32_t sample = rowTop + (2 * sub + 1) * kOne / (2 * subRows_);
      crossings_.clear();
      for (size_t i : active_) {
        const Edge& e = edges_[i];
        if (sample < e.yTop || sample >= e.yBottom) continue;
        int64_t dx = int64_t{e.xBottom} - e.xTop;
        int32_t x = e.xTop + static_cast<int32_t>(dx * (sample - e.yTop) / (e.yBottom - e.yTop));
        crossings_.push_back({x, e.direction});
      }
      std::sort(crossings_.begin(), crossings_.end(),
                [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
      int32_t winding = 0;
      for (size_t i = 0; i + 1 < crossings_.size(); ++i) {
        winding += crossings_[i].direction;
        bool inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
        if (!inside) continue;
        if (antiAlias_) {
          addSpan(crossings_[i].x, crossings_[i + 1].x);
        } else {
          addSpan(snapToCentre(crossings_[i].x), snapToCentre(crossings_[i + 1].x));
        }
      }
    }
    emitRow(y, sink);
  }
}

}  // namespace vexil::render
