#include "player/render/rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vexil::render {
namespace {

// Collects coverage into a width x height grid.
class GridSink : public CoverageSink {
 public:
  GridSink(int width, int height) : width_(width), cells(static_cast<size_t>(width) * height, 0) {}
  void row(int y, int x0, int x1, const uint8_t* alpha) override {
    for (int x = x0; x < x1; ++x) cells[static_cast<size_t>(y) * width_ + x] = alpha[x - x0];
  }
  int at(int x, int y) const { return cells[static_cast<size_t>(y) * width_ + x]; }
  int width_;
  std::vector<uint8_t> cells;
};

void addRect(Rasterizer& raster, double x0, double y0, double x1, double y1) {
  raster.addLine({x0, y0}, {x1, y0});
  raster.addLine({x1, y0}, {x1, y1});
  raster.addLine({x1, y1}, {x0, y1});
  raster.addLine({x0, y1}, {x0, y0});
}

TEST(Rasterizer, ARectangleOnPixelEdgesCoversExactlyItsPixels) {
  struct Case {
    int x0, y0, x1, y1;
    bool antiAlias;
  };
  for (Case c : {Case{2, 3, 7, 9, true}, Case{0, 0, 16, 16, true}, Case{5, 5, 6, 6, false}, Case{-4, -4, 3, 20, false}}) {
    Rasterizer raster;
    raster.setAntiAlias(c.antiAlias);
    raster.reset(16, 16);
    addRect(raster, c.x0, c.y0, c.x1, c.y1);
    GridSink grid(16, 16);
    raster.fill(FillRule::NonZero, grid);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        bool inside = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
        ASSERT_EQ(grid.at(x, y), inside ? 255 : 0) << "pixel " << x << "," << y << " of case " << c.x0 << "," << c.y0;
      }
    }
  }
}

TEST(Rasterizer, EdgesThroughPixelsGiveTheirCoveredShare) {
  Rasterizer raster;
  raster.reset(8, 8);
  addRect(raster, 1.5, 1, 4.25, 5);  // left column half covered, right column a quarter
  GridSink grid(8, 8);
  raster.fill(FillRule::NonZero, grid);
  EXPECT_EQ(grid.at(1, 2), 128);
  EXPECT_EQ(grid.at(2, 2), 255);
  EXPECT_EQ(grid.at(4, 2), 64);
  EXPECT_EQ(grid.at(5, 2), 0);
}

TEST(Rasterizer, WithoutAntiAliasingAPixelCountsByItsCentre) {
  Rasterizer raster;
  raster.setAntiAlias(false);
  raster.reset(8, 8);
  addRect(raster, 1.4, 1.6, 4.6, 5.4);
  GridSink grid(8, 8);
  raster.fill(FillRule::NonZero, grid);
  EXPECT_EQ(grid.at(1, 2), 255);  // centre 1.5 inside
  EXPECT_EQ(grid.at(4, 4), 255);
  EXPECT_EQ(grid.at(1, 1), 0);    // centre y 1.5 above 1.6
  EXPECT_EQ(grid.at(4, 5), 0);    // centre y 5.5 below 5.4
  for (uint8_t value : grid.cells) EXPECT_TRUE(value == 0 || value == 255);
}

TEST(Rasterizer, OverlapIsFilledUnderNonZeroAndAHoleUnderEvenOdd) {
  for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
    Rasterizer raster;
    raster.reset(10, 10);
    addRect(raster, 0, 0, 6, 6);
    addRect(raster, 3, 3, 9, 9);
    GridSink grid(10, 10);
    raster.fill(rule, grid);
    EXPECT_EQ(grid.at(4, 4), rule == FillRule::NonZero ? 255 : 0);
    EXPECT_EQ(grid.at(1, 1), 255);
    EXPECT_EQ(grid.at(8, 8), 255);
  }
}

TEST(Rasterizer, CurvesAndHugeOrInvalidCoordinatesStayInsideTheFrame) {
  Rasterizer raster;
  raster.reset(32, 32);
  raster.addQuad({0, 16}, {16, -16}, {32, 16});
  raster.addLine({32, 16}, {0, 16});
  // There and back again: no area, but the clamping of each end must agree.
  raster.addLine({-1e300, 1e300}, {1e300, -1e300});
  raster.addLine({1e300, -1e300}, {-1e300, 1e300});
  raster.addLine({std::nan(""), 0}, {5, std::nan("")});
  GridSink grid(32, 32);
  raster.fill(FillRule::EvenOdd, grid);
  EXPECT_EQ(grid.at(16, 10), 255);  // under the arch (its top is at y = 0)
  EXPECT_EQ(grid.at(1, 1), 0);
}

TEST(Rasterizer, EdgesPastTheCapAreDroppedAndReported) {
  Rasterizer raster;
  raster.reset(4, 4);
  for (size_t i = 0; i <= Rasterizer::kMaxEdges; ++i) raster.addLine({0, 0}, {1, 1});
  EXPECT_TRUE(raster.overflowed());
  EXPECT_EQ(raster.edgeCount(), Rasterizer::kMaxEdges);
}

}  // namespace
}  // namespace vexil::render
