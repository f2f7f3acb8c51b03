#pragma once
// Writes the display tags of small movies: shapes made of polygons with solid, gradient or bitmap
// fills, true-colour bitmaps, sprites, and placements. For test fixtures and the demo movie; each
// function returns one whole tag, to append to MovieOutline::definitions or FrameSpec::displayTags.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexil::swf {

struct MatrixSpec {
  double a = 1, b = 0, c = 0, d = 1;  // x' = a*x + c*y + tx, y' = b*x + d*y + ty
  int32_t tx = 0, ty = 0;             // twips
};

struct ColorTransformSpec {
  int16_t mult[4] = {256, 256, 256, 256};  // red, green, blue, alpha in 8.8
  int16_t add[4] = {0, 0, 0, 0};
};

struct GradientStopSpec {
  uint8_t ratio = 0;
  uint32_t rgba = 0xFF000000;  // 0xAARRGGBB
};

struct FillSpec {
  enum class Kind : uint8_t { Solid = 0x00, Linear = 0x10, Radial = 0x12, RepeatingBitmap = 0x40, ClippedBitmap = 0x41,
                              ClippedHardBitmap = 0x43 };
  Kind kind = Kind::Solid;
  uint32_t rgba = 0xFF000000;  // 0xAARRGGBB, for Solid
  MatrixSpec matrix;           // gradient square (+-16384) or bitmap pixels to shape twips
  std::vector<GradientStopSpec> stops;
  uint16_t bitmap = 0;
};

struct LineSpec {
  uint16_t width = 20;  // twips
  uint32_t rgba = 0xFF000000;
};

struct PolygonSpec {
  std::vector<std::pair<int32_t, int32_t>> points;  // twips, closed implicitly
  uint16_t fill = 1;  // one-based index into ShapeSpec::fills, 0 for none
  uint16_t line = 0;  // one-based index into ShapeSpec::lines, 0 for none
};

struct ShapeSpec {
  std::vector<FillSpec> fills;
  std::vector<LineSpec> lines;
  std::vector<PolygonSpec> polygons;
};

struct Placement {
  uint16_t depth = 1;
  std::optional<uint16_t> character;
  bool move = false;
  std::optional<MatrixSpec> matrix;
  std::optional<ColorTransformSpec> colorTransform;
  std::optional<uint16_t> clipDepth;
  std::optional<std::string> name;
  std::optional<uint16_t> ratio;  // for morph shapes: 0 the start shape, 65535 the end one
};

// A morph between two polygons of the same number of points, each with one solid colour.
struct MorphSpec {
  PolygonSpec start, end;
  uint32_t startRgba = 0xFF000000, endRgba = 0xFF000000;
};

std::vector<uint8_t> defineShapeTag(uint16_t id, const ShapeSpec& shape);  // DefineShape3, colours with alpha
std::vector<uint8_t> defineMorphShapeTag(uint16_t id, const MorphSpec& morph);  // DefineMorphShape
std::vector<uint8_t> placeObjectTag(const Placement& place);              // PlaceObject2
std::vector<uint8_t> removeObjectTag(uint16_t depth);                      // RemoveObject2
// frames: the display tags of each of the sprite's frames.
std::vector<uint8_t> defineSpriteTag(uint16_t id, const std::vector<std::vector<uint8_t>>& frames);
// argb: straight 0xAARRGGBB pixels, rows top to bottom (stored premultiplied, zlib-packed).
std::vector<uint8_t> defineBitmapTag(uint16_t id, int width, int height, const std::vector<uint32_t>& argb);

}  // namespace vexil::swf
