#pragma once
// A shape as the renderer keeps it: its styles, and for each fill style the closed outline that
// bounds it (edges turned so the style lies on one side), and for each line style the edges it
// strokes. Coordinates are twips in the shape's own space.
#include <cstdint>
#include <vector>

#include "player/render/geometry.h"
#include "player/render/paint.h"

namespace vexil::render {

enum class FillType : uint8_t {
  Solid = 0x00,
  LinearGradient = 0x10,
  RadialGradient = 0x12,
  FocalGradient = 0x13,
  RepeatingBitmap = 0x40,
  ClippedBitmap = 0x41,
  RepeatingHardBitmap = 0x42,
  ClippedHardBitmap = 0x43,
};

struct FillStyle {
  FillType type = FillType::Solid;
  uint32_t color = 0xFF000000;  // straight 0xAARRGGBB
  Matrix matrix;                // gradient square or bitmap texels to shape space
  std::vector<GradientStop> stops;
  Spread spread = Spread::Pad;
  bool linearRgb = false;
  double focal = 0;
  uint16_t bitmapId = 0;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
  uint16_t width = 0;  // twips; thinner than a pixel draws one pixel wide
  uint32_t color = 0xFF000000;
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;
  bool scaleX = true, scaleY = true;
  bool hasFill = false;
  FillStyle fill;
};

struct Segment {
  Point from, control, to;
  bool curved = false;
};

struct Shape {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<std::vector<Segment>> fillOutlines;  // one per fill style
  std::vector<std::vector<Segment>> lineEdges;     // one per line style, in drawing order
  bool nonZero = false;  // fill rule: the newest shapes may ask for non-zero winding
};

}  // namespace vexil::render
