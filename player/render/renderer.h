#pragma once
// Draws a timeline's display list into a frame buffer: shapes, texts, sprites in depth order,
// with matrices and colour transforms composed down the tree and clip layers turned into masks of
// the depths they cover.
#include <cstdint>
#include <memory>
#include <vector>

#include "player/render/bitmap.h"
#include "player/render/display_list.h"
#include "player/render/movie_library.h"
#include "player/render/rasterizer.h"

namespace vexil::render {

class Renderer {
 public:
  explicit Renderer(const MovieLibrary& library) : library_(library) {}

  // stage maps the main timeline's twips to pixels of target.
  // Without antiAlias edges are hard, as the movie's low quality asks.
  void render(const SpriteInstance& root, const Matrix& stage, Bitmap& target, bool antiAlias = true);

 private:
  // Where drawing goes: colour into a frame buffer through an optional clip mask, or coverage
  // into a mask being built.
  struct Target {
    Bitmap* color = nullptr;
    const MaskLayer* clip = nullptr;
    MaskLayer* mask = nullptr;
  };

  // Clip layers nest as a stack, so their frame-sized buffers are kept and reused in that order;
  // a released layer is cleared within its box only.
  MaskLayer& acquireMask();
  void releaseMask();

  void drawContainer(const SpriteInstance& sprite, const Matrix& matrix, const ColorTransform& transform,
                     Target target, int nesting);
  void drawObject(const DisplayObject& object, const Matrix& matrix, const ColorTransform& transform,
                  Target target, int nesting);
  void drawShape(const Shape& shape, const Matrix& matrix, const ColorTransform& transform, Target target);
  void drawText(const StaticText& text, const Matrix& matrix, const ColorTransform& transform, Target target);
  void drawLines(const Shape& shape, size_t style, const Matrix& matrix, const ColorTransform& transform,
                 Target target);
  bool makePaint(const FillStyle& style, const Matrix& matrix, const ColorTransform& transform, Paint& paint) const;
  void fillRaster(FillRule rule, const Paint& paint, Target target);

  const MovieLibrary& library_;
  Rasterizer raster_;
  int width_ = 0, height_ = 0;
  std::vector<Point> polyline_;
  std::vector<bool> withinCurve_;  // beside polyline_: points made by flattening a curve
  std::vector<uint32_t> colors_;  // one row of paint colours
  std::vector<std::unique_ptr<MaskLayer>> masks_;
  size_t masksInUse_ = 0;
};

}  // namespace vexil::render
