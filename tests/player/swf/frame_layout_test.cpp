#include <gtest/gtest.h>

#include "player/swf/frame_layout.h"

using namespace vexil::swf;

struct LayoutCase {
  int32_t movieW, movieH, windowW, windowH, scaleMode, alignMode;
  PixelRect expected;
};

TEST(FrameLayout, ScaleModesAndAlignment) {
  const LayoutCase cases[] = {
      {550, 400, 1100, 800, 2, 0, {0, 0, 1100, 800}},     // exact fit
      {550, 400, 1100, 600, 2, 0, {0, 0, 1100, 600}},     // exact fit ignores the aspect
      {550, 400, 1100, 600, 0, 0, {137, 0, 962, 600}},    // show all: pillarbox, centred
      {550, 400, 1100, 600, 1, 0, {0, -100, 1100, 700}},  // no border: cropped top and bottom
      {550, 400, 1100, 800, 3, 0, {275, 200, 825, 600}},  // no scale: centred
      {550, 400, 1100, 800, 3, kAlignLeft | kAlignTop, {0, 0, 550, 400}},
      {550, 400, 1100, 800, 3, kAlignRight | kAlignBottom, {550, 400, 1100, 800}},
      {550, 400, 1100, 800, 7, 0, {0, 0, 0, 0}},          // unknown mode
      {0, 400, 1100, 800, 0, 0, {0, 0, 0, 0}},            // empty movie
  };
  for (const LayoutCase& c : cases) {
    EXPECT_EQ(frameLayout(c.movieW, c.movieH, c.windowW, c.windowH, c.scaleMode, c.alignMode), c.expected)
        << "mode " << c.scaleMode << " align " << c.alignMode << " window " << c.windowW << "x" << c.windowH;
  }
}
