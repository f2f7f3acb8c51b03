// Movies made by the SWF writer whose pictures can be worked out by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "player/render/stage.h"
#include "player/swf/display_tag_writer.h"
#include "player/swf/swf_writer.h"

namespace vexil::render {
namespace {

using swf::FillSpec;
using swf::MatrixSpec;
using swf::Placement;
using swf::PolygonSpec;
using swf::ShapeSpec;

constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

FillSpec solid(uint32_t argb) {
  FillSpec fill;
  fill.rgba = argb;
  return fill;
}

// A rectangle in pixels, as twips points.
PolygonSpec rect(int x0, int y0, int x1, int y1) {
  return {{{x0 * 20, y0 * 20}, {x1 * 20, y0 * 20}, {x1 * 20, y1 * 20}, {x0 * 20, y1 * 20}}};
}

ShapeSpec solidRect(uint32_t argb, int x0, int y0, int x1, int y1) {
  ShapeSpec shape;
  shape.fills.push_back(solid(argb));
  shape.polygons.push_back(rect(x0, y0, x1, y1));
  return shape;
}

Placement place(uint16_t depth, uint16_t character) {
  Placement place;
  place.depth = depth;
  place.character = character;
  return place;
}

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& tag) { out.insert(out.end(), tag.begin(), tag.end()); }

// A 64 x 64 white movie; frames hold display tags.
swf::MovieOutline outline(std::vector<uint8_t> definitions, std::vector<std::vector<uint8_t>> frames, int size = 64) {
  swf::MovieOutline movie;
  movie.frameRect = {0, size * 20, 0, size * 20};
  movie.backgroundColor = 0xFFFFFF;
  movie.definitions = std::move(definitions);
  for (auto& tags : frames) {
    swf::FrameSpec frame;
    frame.displayTags = std::move(tags);
    movie.frames.push_back(std::move(frame));
  }
  return movie;
}

Bitmap render(const swf::MovieOutline& movie, int advances = 0, bool antiAlias = true) {
  std::string error;
  auto stage = Stage::load(swf::writeMovie(movie), &error);
  EXPECT_TRUE(stage) << error;
  if (!stage) return {};
  for (int i = 0; i < advances; ++i) stage->advance();
  Bitmap frame(stage->widthPixels(), stage->heightPixels());
  stage->render(frame, 0, 0, antiAlias);
  return frame;
}

int channelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8) worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return worst;
}

TEST(FixtureRender, ARectangleCoversExactlyItsPixels) {
  std::vector<uint8_t> defs = swf::defineShapeTag(1, solidRect(kRed, 10, 12, 30, 20));
  Bitmap frame = render(outline(defs, {swf::placeObjectTag(place(1, 1))}));
  ASSERT_EQ(frame.width, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      bool inside = x >= 10 && x < 30 && y >= 12 && y < 20;
      ASSERT_EQ(frame.at(x, y), inside ? kRed : kWhite) << x << "," << y;
    }
  }
}

TEST(FixtureRender, ALinearGradientHasItsStopColoursAtTheEndsAndTheirMixInTheMiddle) {
  ShapeSpec shape;
  FillSpec gradient;
  gradient.kind = FillSpec::Kind::Linear;
  // The gradient square (32768 twips wide) scaled onto the 256-pixel-wide rectangle.
  gradient.matrix = {256 * 20 / 32768.0, 0, 0, 256 * 20 / 32768.0, 128 * 20, 8 * 20};
  gradient.stops = {{0, kRed}, {255, kBlue}};
  shape.fills.push_back(gradient);
  shape.polygons.push_back(rect(0, 0, 256, 16));
  Bitmap frame = render(outline(swf::defineShapeTag(1, shape), {swf::placeObjectTag(place(1, 1))}, 256));
  EXPECT_LE(channelDistance(frame.at(0, 8), kRed), 2);
  EXPECT_LE(channelDistance(frame.at(255, 8), kBlue), 2);
  EXPECT_LE(channelDistance(frame.at(128, 8), 0xFF7F0080), 3);
}

TEST(FixtureRender, AClipLayerMasksTheDepthsItCoversOnly) {
  std::vector<uint8_t> defs;
  append(defs, swf::defineShapeTag(1, solidRect(kGreen, 0, 0, 32, 64)));  // the mask: left half
  append(defs, swf::defineShapeTag(2, solidRect(kRed, 0, 0, 64, 32)));    // top half, masked
  append(defs, swf::defineShapeTag(3, solidRect(kBlue, 0, 48, 64, 64)));  // bottom strip, above the mask's reach
  Placement mask = place(1, 1);
  mask.clipDepth = 2;
  std::vector<uint8_t> frame0;
  append(frame0, swf::placeObjectTag(mask));
  append(frame0, swf::placeObjectTag(place(2, 2)));
  append(frame0, swf::placeObjectTag(place(3, 3)));
  Bitmap frame = render(outline(defs, {frame0}));
  EXPECT_EQ(frame.at(10, 10), kRed);     // inside mask and shape
  EXPECT_EQ(frame.at(50, 10), kWhite);   // shape outside the mask
  EXPECT_EQ(frame.at(10, 40), kWhite);   // the mask itself is never drawn
  EXPECT_EQ(frame.at(50, 56), kBlue);    // depth 3 is not masked
}

TEST(FixtureRender, ARotatedSpriteHasItsCornersWhereTheMatrixPutsThem) {
  std::vector<uint8_t> defs = swf::defineShapeTag(1, solidRect(kRed, 0, 0, 20, 10));
  append(defs, swf::defineSpriteTag(2, {swf::placeObjectTag(place(1, 1))}));
  Placement sprite = place(1, 2);
  sprite.matrix = MatrixSpec{0, 1, -1, 0, 40 * 20, 10 * 20};  // a quarter turn clockwise, then to (40, 10)
  Bitmap frame = render(outline(defs, {swf::placeObjectTag(sprite)}));
  // (0,0)-(20,10) turns into x in [30, 40), y in [10, 30).
  EXPECT_EQ(frame.at(30, 10), kRed);
  EXPECT_EQ(frame.at(39, 29), kRed);
  EXPECT_EQ(frame.at(29, 20), kWhite);
  EXPECT_EQ(frame.at(40, 20), kWhite);
  EXPECT_EQ(frame.at(35, 30), kWhite);
  EXPECT_EQ(frame.at(35, 9), kWhite);
}

TEST(FixtureRender, ColourTransformsAndSpriteTimelinesApply) {
  std::vector<uint8_t> defs = swf::defineShapeTag(1, solidRect(kRed, 0, 0, 10, 10));
  // A sprite whose second frame moves the square 20 pixels right.
  Placement moved;
  moved.depth = 1;
  moved.move = true;
  moved.matrix = MatrixSpec{1, 0, 0, 1, 20 * 20, 0};
  append(defs, swf::defineSpriteTag(2, {swf::placeObjectTag(place(1, 1)), swf::placeObjectTag(moved)}));
  Placement half = place(1, 2);
  half.colorTransform = swf::ColorTransformSpec{{256, 256, 256, 128}, {0, 0, 0, 0}};
  auto movie = outline(defs, {swf::placeObjectTag(half), {}});
  Bitmap first = render(movie);
  EXPECT_LE(channelDistance(first.at(5, 5), 0xFFFF7F7F), 1);  // half red over white
  Bitmap second = render(movie, 1);
  EXPECT_EQ(second.at(5, 5), kWhite);
  EXPECT_LE(channelDistance(second.at(25, 5), 0xFFFF7F7F), 1);
}

TEST(FixtureRender, LowQualityDrawsHardEdges) {
  ShapeSpec triangle;
  triangle.fills.push_back(solid(kRed));
  triangle.polygons.push_back({{{0, 0}, {1280, 100}, {300, 1280}}});
  auto movie = outline(swf::defineShapeTag(1, triangle), {swf::placeObjectTag(place(1, 1))});
  Bitmap hard = render(movie, 0, false), soft = render(movie, 0, true);
  auto blends = [](const Bitmap& b) {
    size_t count = 0;
    for (uint32_t p : b.pixels) count += p != kWhite && p != kRed;
    return count;
  };
  EXPECT_EQ(blends(hard), 0u);
  EXPECT_GT(blends(soft), 20u);
}

TEST(FixtureRender, AMorphShapeIsDrawnAtItsPlacedRatio) {
  swf::MorphSpec morph;
  morph.start = rect(0, 0, 20, 20);
  morph.end = rect(40, 40, 60, 60);
  morph.startRgba = kRed;
  morph.endRgba = kBlue;
  struct Case {
    uint16_t ratio;
    int left;           // the square's left and top edge, pixels
    uint32_t colour;
  } cases[] = {{0, 0, kRed}, {65535, 40, kBlue}, {32768, 20, 0xFF800080}};
  for (const Case& c : cases) {
    Placement placed = place(1, 1);
    placed.ratio = c.ratio;
    Bitmap frame = render(outline(swf::defineMorphShapeTag(1, morph), {swf::placeObjectTag(placed)}));
    EXPECT_LE(channelDistance(frame.at(c.left, c.left), c.colour), 1) << c.ratio;
    EXPECT_LE(channelDistance(frame.at(c.left + 19, c.left + 19), c.colour), 1) << c.ratio;
    EXPECT_EQ(frame.at(c.left + 20, c.left + 10), kWhite) << c.ratio;
    if (c.left > 0) {
      EXPECT_EQ(frame.at(c.left - 1, c.left + 10), kWhite) << c.ratio;
    }
  }
}

}  // namespace
}  // namespace vexil::render
