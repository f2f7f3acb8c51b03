#include "player/swf/frame_layout.h"

#include <algorithm>

namespace vexil::swf {
namespace {

int32_t placeOnAxis(int32_t free, int32_t alignMode, int32_t startBit, int32_t endBit) {
  if (alignMode & startBit) return 0;
  if (alignMode & endBit) return free;
  return free / 2;
}

}  // namespace

PixelRect frameLayout(int32_t movieWidth, int32_t movieHeight, int32_t windowWidth, int32_t windowHeight,
                      int32_t scaleMode, int32_t alignMode) {
  if (movieWidth <= 0 || movieHeight <= 0) return {};
  double scaleX = static_cast<double>(windowWidth) / movieWidth;
  double scaleY = static_cast<double>(windowHeight) / movieHeight;
  int32_t width = 0, height = 0;
  switch (static_cast<ScaleMode>(scaleMode)) {
    case ScaleMode::ShowAll:
    case ScaleMode::NoBorder: {
      double scale = scaleMode == 0 ? std::min(scaleX, scaleY) : std::max(scaleX, scaleY);
      width = static_cast<int32_t>(scale * movieWidth);
      height = static_cast<int32_t>(scale * movieHeight);
      break;
    }
    case ScaleMode::ExactFit:
      width = windowWidth;
      height = windowHeight;
      break;
    case ScaleMode::NoScale:
      width = movieWidth;
      height = movieHeight;
      break;
    default: return {};
  }
  int32_t left = placeOnAxis(windowWidth - width, alignMode, kAlignLeft, kAlignRight);
  int32_t top = placeOnAxis(windowHeight - height, alignMode, kAlignTop, kAlignBottom);
  return {left, top, left + width, top + height};
}

}  // namespace vexil::swf
