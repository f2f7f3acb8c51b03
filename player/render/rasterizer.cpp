#include "player/render/rasterizer.h"

#include <algorithm>
#include <cmath>

namespace vexil::render {
namespace {

constexpr int32_t kOne = 1 << Rasterizer::kFracBits;
// Coordinates far outside any frame are pulled in; this keeps products inside 64 bits and lines
// that cross the frame still cross it at nearly the same place.
constexpr double kCoordinateLimit = 1 << 20;
static_assert(Rasterizer::kSubRows == 4, "the row coverage shift assumes four sub-rows");

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
  left_ = top_ = 0;
  right_ = width_;
  bottom_ = height_;
  if (partial_.size() < static_cast<size_t>(width_) + 2) {
    partial_.assign(width_ + 2, 0);
    runs_.assign(width_ + 2, 0);
    alpha_.assign(width_ + 2, 0);
  }
}

void Rasterizer::limitTo(int left, int top, int right, int bottom) {
  left_ = std::clamp(left, 0, width_);
  top_ = std::clamp(top, 0, height_);
  right_ = std::clamp(right, left_, width_);
  bottom_ = std::clamp(bottom, top_, height_);
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
  from = std::clamp(from, left_ * kOne, right_ * kOne);
  to = std::clamp(to, left_ * kOne, right_ * kOne);
  if (from >= to) return;
  int first = from >> kFracBits, last = to >> kFracBits;
  if (first == last) {
    partial_[first] += to - from;
    cells_.push_back(first);
  } else {
    cells_.insert(cells_.end(), {first, first + 1, last});
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
  // kFull is a power of two (256 or 1024): a shift gives the same rounding as the division.
  const int fullBits = kFracBits + (subRows_ == kSubRows ? 2 : 0);
  auto toAlpha = [&](int32_t coverage) {
    return static_cast<uint8_t>((std::min(coverage, kFull) * 255 + kFull / 2) >> fullBits);
  };
  // Coverage changes only at the cells spans began or ended in; between them it is the running
  // sum, so those stretches are filled whole.
  std::sort(cells_.begin(), cells_.end());
  int last = std::min(touchedMax_, width_ - 1);
  int32_t run = 0;
  int next = touchedMin_;
  for (size_t i = 0; i < cells_.size(); ++i) {
    int cell = cells_[i];
    if (i > 0 && cell == cells_[i - 1]) continue;
    if (cell <= last) {
      std::fill(alpha_.begin() + next, alpha_.begin() + cell, toAlpha(run));
      run += runs_[cell];
      alpha_[cell] = toAlpha(run + partial_[cell]);
      next = cell + 1;
    }
    runs_[cell] = partial_[cell] = 0;
  }
  cells_.clear();
  if (next <= last) std::fill(alpha_.begin() + next, alpha_.begin() + last + 1, toAlpha(run));
  int x0 = touchedMin_, x1 = last + 1;
  while (x0 < x1 && alpha_[x0] == 0) ++x0;
  while (x1 > x0 && alpha_[x1 - 1] == 0) --x1;
  if (x0 < x1) sink.row(y, x0, x1, alpha_.data() + x0);
  touchedMin_ = width_ + 1;
  touchedMax_ = -1;
}

void Rasterizer::fill(FillRule rule, CoverageSink& sink) {
  if (edges_.empty() || right_ <= left_ || bottom_ <= top_) return;
  std::sort(edges_.begin(), edges_.end(), [](const Edge& l, const Edge& r) { return l.yTop < r.yTop; });
  int32_t yMax = 0;
  for (const Edge& edge : edges_) yMax = std::max(yMax, edge.yBottom);
  int firstRow = std::max(top_, edges_.front().yTop >> kFracBits);
  int lastRow = std::min(bottom_ - 1, (yMax - 1) >> kFracBits);
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
