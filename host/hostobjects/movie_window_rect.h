#pragma once
// Where a rectangle of the movie lands in the main window, for each of the player's scale modes.
#include <cstdint>
#include <optional>

namespace vexil::hostobjects {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct WindowRect {
  int32_t left = 0, right = 0, top = 0, bottom = 0;
};

// Scale modes: 0 show all, 1 no border, 2 exact fit, 3 no scale; any other mode maps everything to
// 0. Nothing while the movie has no size (a zero width or height).
std::optional<WindowRect> movieToWindow(PixelSize movie, PixelSize client, int32_t scaleMode, double xMin,
                                        double xMax, double yMin, double yMax);

}  // namespace vexil::hostobjects
