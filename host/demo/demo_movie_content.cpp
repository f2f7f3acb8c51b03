#include "host/demo/demo_movie_content.h"

#include <cmath>

#include "player/swf/action_builder.h"
#include "player/swf/display_tag_writer.h"
#include "player/swf/swf_writer.h"

namespace vexil::demo {
namespace {

using swf::FillSpec;
using swf::MatrixSpec;
using swf::Placement;
using swf::PolygonSpec;
using swf::ShapeSpec;

constexpr int kWidth = 640, kHeight = 480;
constexpr double kPi = 3.14159265358979323846;
enum Id : uint16_t { kSky = 1, kSun, kStar, kStarSprite, kTileBitmap, kTile, kGround };
enum Depth : uint16_t { kSkyDepth = 1, kSunDepth, kGroundDepth, kTileDepth, kStarDepth };

PolygonSpec rectPixels(int x0, int y0, int x1, int y1) {
  return {{{x0 * 20, y0 * 20}, {x1 * 20, y0 * 20}, {x1 * 20, y1 * 20}, {x0 * 20, y1 * 20}}};
}

// Regular star or circle outline around the origin, in twips.
PolygonSpec starPolygon(int points, double outer, double inner) {
  PolygonSpec polygon;
  for (int i = 0; i < points * 2; ++i) {
    double radius = (i % 2 == 0 ? outer : inner) * 20, angle = kPi * i / points - kPi / 2;
    polygon.points.push_back({static_cast<int32_t>(std::lround(radius * std::cos(angle))),
                              static_cast<int32_t>(std::lround(radius * std::sin(angle)))});
  }
  return polygon;
}

FillSpec gradient(FillSpec::Kind kind, double scalePixels, int32_t tx, int32_t ty, double rotation,
                  std::vector<swf::GradientStopSpec> stops) {
  FillSpec fill;
  fill.kind = kind;
  double s = scalePixels * 20 / 32768.0;
  fill.matrix = {s * std::cos(rotation), s * std::sin(rotation), -s * std::sin(rotation), s * std::cos(rotation), tx, ty};
  fill.stops = std::move(stops);
  return fill;
}

std::vector<uint8_t> definitions() {
  std::vector<uint8_t> out;
  auto add = [&](const std::vector<uint8_t>& tag) { out.insert(out.end(), tag.begin(), tag.end()); };
  ShapeSpec sky;
  sky.fills.push_back(gradient(FillSpec::Kind::Linear, kHeight, kWidth * 10, kHeight * 10, kPi / 2,
                               {{0, 0xFF0B1E3A}, {160, 0xFF1E3A5F}, {255, 0xFF4F7FAF}}));
  sky.polygons.push_back(rectPixels(0, 0, kWidth, kHeight));
  add(swf::defineShapeTag(kSky, sky));
  ShapeSpec sun;
  sun.fills.push_back(gradient(FillSpec::Kind::Radial, 140, 0, 0, 0, {{0, 0xFFFFF6C0}, {150, 0xFFFFC040}, {255, 0x00FF8000}}));
  sun.polygons.push_back(starPolygon(32, 70, 70));
  add(swf::defineShapeTag(kSun, sun));
  ShapeSpec ground;
  ground.fills.push_back(gradient(FillSpec::Kind::Linear, 120, kWidth * 10, 420 * 20, kPi / 2, {{0, 0xFF2E6B3A}, {255, 0xFF0F2A14}}));
  ground.polygons.push_back(rectPixels(0, 360, kWidth, kHeight));
  add(swf::defineShapeTag(kGround, ground));
  // A 16 x 16 tile drawn from arithmetic, shown as a bitmap-filled square.
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool check = ((x / 4) + (y / 4)) % 2 == 0;
      pixels.push_back(check ? 0xFFE8D5A0u : 0xFF000000u | static_cast<uint32_t>(0x30 + x * 8) << 16 | 0x4060u);
    }
  }
  add(swf::defineBitmapTag(kTileBitmap, 16, 16, pixels));
  ShapeSpec tile;
  FillSpec bitmapFill;
  bitmapFill.kind = FillSpec::Kind::RepeatingBitmap;
  bitmapFill.bitmap = kTileBitmap;
  bitmapFill.matrix = {80, 0, 0, 80, -40 * 20, -40 * 20};  // each texel 4 pixels
  tile.fills.push_back(bitmapFill);
  tile.lines.push_back({40, 0xFFE8D5A0});
  PolygonSpec square = rectPixels(-40, -40, 40, 40);
  square.line = 1;
  tile.polygons.push_back(square);
  add(swf::defineShapeTag(kTile, tile));
  ShapeSpec star;
  FillSpec gold;
  gold.rgba = 0xFFFFD23F;
  star.fills.push_back(gold);
  star.lines.push_back({30, 0xFFB07000});
  PolygonSpec outline = starPolygon(5, 36, 15);
  outline.line = 1;
  star.polygons.push_back(outline);
  add(swf::defineShapeTag(kStar, star));
  Placement inner;
  inner.depth = 1;
  inner.character = kStar;
  add(swf::defineSpriteTag(kStarSprite, {swf::placeObjectTag(inner)}));
  return out;
}

MatrixSpec turned(double angle, double scale, double x, double y) {
  return {scale * std::cos(angle), scale * std::sin(angle), -scale * std::sin(angle), scale * std::cos(angle),
          static_cast<int32_t>(std::lround(x * 20)), static_cast<int32_t>(std::lround(y * 20))};
}

std::vector<uint8_t> frameTags(int frame) {
  std::vector<uint8_t> out;
  auto add = [&](const std::vector<uint8_t>& tag) { out.insert(out.end(), tag.begin(), tag.end()); };
  auto placeAt = [&](uint16_t depth, uint16_t character, MatrixSpec matrix) {
    Placement place;
    place.depth = depth;
    place.matrix = matrix;
    if (frame == 0) {
      place.character = character;
    } else {
      place.move = true;
    }
    add(swf::placeObjectTag(place));
  };
  double t = static_cast<double>(frame) / kDemoFrames;
  if (frame == 0) {
    placeAt(kSkyDepth, kSky, {});
    placeAt(kGroundDepth, kGround, {});
  }
  placeAt(kSunDepth, kSun, turned(0, 1 + 0.08 * std::sin(2 * kPi * t), 500, 110));
  placeAt(kTileDepth, kTile, turned(2 * kPi * t, 1, 160, 250));
  placeAt(kStarDepth, kStarSprite, turned(-4 * kPi * t, 1, 40 + 560 * t, 330 - 200 * std::sin(kPi * t)));
  return out;
}

}  // namespace

std::vector<uint8_t> makeDemoMovie() {
  swf::MovieOutline outline;
  outline.backgroundColor = 0x1E3A5F;
  outline.frameRect = {0, kWidth * 20, 0, kHeight * 20};
  outline.frameRate = 12 << 8;
  outline.definitions = definitions();
  for (int frame = 0; frame < kDemoFrames; ++frame) {
    swf::FrameSpec content;
    content.displayTags = frameTags(frame);
    if (frame == 0) {
      content.labels = {"start"};
      content.actions = {swf::ActionBuilder().fsCommand("Vexil_Trace", "demo started").setVariable("state", "playing").bytes()};
    }
    if (frame == kDemoFrames - 1) {
      content.actions = {swf::ActionBuilder().gotoFrame(1).play().bytes()};  // loop past the greeting
    }
    outline.frames.push_back(std::move(content));
  }
  return swf::writeMovie(outline);
}

}  // namespace vexil::demo
