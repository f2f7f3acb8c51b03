#pragma once
// Where the movie's frame lies in a window of a given size, for each scale mode and alignment.
#include <cstdint>

namespace vexil::swf {

enum class ScaleMode : int32_t { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Alignment bits; with neither bit of an axis set the frame is centred on it.
inline constexpr int32_t kAlignLeft = 1;
inline constexpr int32_t kAlignRight = 2;
inline constexpr int32_t kAlignTop = 4;
inline constexpr int32_t kAlignBottom = 8;

struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// Sizes in pixels. An unknown scale mode or an empty movie gives an empty rectangle.
PixelRect frameLayout(int32_t movieWidth, int32_t movieHeight, int32_t windowWidth, int32_t windowHeight,
                      int32_t scaleMode, int32_t alignMode);

}  // namespace vexil::swf
