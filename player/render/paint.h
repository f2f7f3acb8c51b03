#pragma once
// What fills a rasterised region: a solid colour, a gradient or a bitmap, already combined with the
// colour transform and the matrix from pixels back into the paint's own space. PaintSink blends the
// painted coverage into a frame buffer (source over, premultiplied), through an optional mask.
#include <array>
#include <cstdint>
#include <vector>

#include "player/render/bitmap.h"
#include "player/render/geometry.h"
#include "player/render/rasterizer.h"

namespace vexil::render {

enum class PaintKind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
enum class Spread { Pad = 0, Reflect = 1, Repeat = 2 };

struct GradientStop {
  uint8_t ratio = 0;
  uint32_t color = 0;  // straight 0xAARRGGBB
};

struct Paint {
  PaintKind kind = PaintKind::Solid;
  uint32_t color = 0;  // premultiplied, for Solid
  Matrix fromPixels;   // pixel centre to gradient square (-16384..16384) or bitmap texels
  std::array<uint32_t, 256> ramp{};  // premultiplied gradient colours
  Spread spread = Spread::Pad;
  double focal = 0;  // focal point along the gradient's x axis, -1..1
  const Bitmap* bitmap = nullptr;
  bool repeat = false, smooth = false;
  ColorTransform bitmapTransform;  // applied to bitmap texels unless identity
};

// Builds the 256-entry ramp of a gradient (stops in ratio order, colour transform applied to each
// stop first). linearRgb interpolates in linear light.
void buildRamp(Paint& paint, const std::vector<GradientStop>& stops, const ColorTransform& transform, bool linearRgb);

// The target of colour drawing: a frame buffer and, when clipping, a mask of the same size.
class PaintSink : public CoverageSink {
 public:
  // colors is scratch space kept by the caller between fills.
  PaintSink(Bitmap& target, const std::vector<uint8_t>* mask, const Paint& paint, std::vector<uint32_t>& colors)
      : target_(target), mask_(mask), paint_(paint), colors_(colors) {}
  void row(int y, int x0, int x1, const uint8_t* alpha) override;

 private:
  Bitmap& target_;
  const std::vector<uint8_t>* mask_;
  const Paint& paint_;
  std::vector<uint32_t>& colors_;
};

// A clip layer's coverage, frame sized, and the box outside which it is known to be zero (so
// that clearing, combining and drawing through it stay within that box).
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
};

struct MaskLayer {
  std::vector<uint8_t> coverage;
  PixelBox box;
};

// The target of mask drawing: coverage is added (source over) to a mask layer.
class MaskSink : public CoverageSink {
 public:
  MaskSink(MaskLayer& mask, int width) : mask_(mask), width_(width), fresh_(mask.box.empty()) {}
  void row(int y, int x0, int x1, const uint8_t* alpha) override;

 private:
  MaskLayer& mask_;
  int width_;
  bool fresh_;  // the layer was empty when this fill began: its rows are copied, not blended
};

}  // namespace vexil::render
