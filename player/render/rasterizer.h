#pragma once
// The anti-aliased scanline rasteriser. Outlines arrive in pixel coordinates as doubles and are
// snapped at once to 1/256 pixel integers; from there everything is integer arithmetic (crossings,
// spans and coverage), so a movie gives the same pixels on every compiler and CPU. Each pixel row
// is sampled on kSubRows horizontal lines with exact horizontal coverage on each.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/render/geometry.h"

namespace vexil::render {

enum class FillRule { EvenOdd, NonZero };

// Receives the coverage of one pixel row: alpha[i] (1..255, or 0 inside the run) belongs to pixel
// x0 + i, for x0 <= x < x1.
class CoverageSink {
 public:
  virtual ~CoverageSink() = default;
  virtual void row(int y, int x0, int x1, const uint8_t* alpha) = 0;
};

class Rasterizer {
 public:
  static constexpr int kFracBits = 8;
  static constexpr int kSubRows = 4;
  // More edges than this in one fill are dropped: the shape draws incompletely instead of stalling.
  static constexpr size_t kMaxEdges = 1u << 20;

  // Starts a new outline clipped to a width x height pixel area.
  void reset(int width, int height);
  // Narrows the area drawn to pixels left <= x < right, top <= y < bottom (a clip layer's bounds);
  // cleared by reset.
  void limitTo(int left, int top, int right, int bottom);
  void addLine(Point from, Point to);
  // A quadratic curve, flattened into a number of lines that depends only on its size.
  void addQuad(Point from, Point control, Point to);
  bool empty() const { return edges_.empty(); }
  size_t edgeCount() const { return edges_.size(); }
  bool overflowed() const { return overflowed_; }
  void fill(FillRule rule, CoverageSink& sink);
  // Without anti-aliasing (the movie's low quality) a pixel is inside or out by its centre alone.
  void setAntiAlias(bool on) { antiAlias_ = on; }

 private:
  struct Edge {
    int32_t xTop, yTop, xBottom, yBottom;
    int32_t direction;  // +1 when the outline runs downwards here
  };
  struct Crossing {
    int32_t x;
    int32_t direction;
  };
  void addSpan(int32_t from, int32_t to);
  void emitRow(int y, CoverageSink& sink);

  int width_ = 0, height_ = 0;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  bool overflowed_ = false;
  bool antiAlias_ = true;
  int subRows_ = kSubRows;
  std::vector<Edge> edges_;
  std::vector<size_t> active_;
  std::vector<Crossing> crossings_;
  std::vector<int32_t> partial_, runs_;  // per pixel: partial coverage, and run starts/ends
  std::vector<int32_t> cells_;  // cells of the current row whose partial or run changed
  std::vector<uint8_t> alpha_;
  int touchedMin_ = 0, touchedMax_ = -1;
};

}  // namespace vexil::render
