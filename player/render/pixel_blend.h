#pragma once
// Source-over blending of premultiplied 0xAARRGGBB pixels, two channels at a time: red and blue
// share one 32-bit word, alpha and green another, each in a 16-bit lane. Every lane holds at most
// 255 * 255 + 255, so no lane carries into the next and the results equal mulDiv255 channel by
// channel.
#include <cstdint>

namespace vexil::render {

// Every channel of c times factor / 255, rounded.
inline uint32_t scalePixel(uint32_t c, uint32_t factor) {
  constexpr uint32_t kLanes = 0x00FF00FF, kHalf = 0x00800080;
  uint32_t rb = (c & kLanes) * factor + kHalf;
  rb = ((rb + ((rb >> 8) & kLanes)) >> 8) & kLanes;
  uint32_t ag = ((c >> 8) & kLanes) * factor + kHalf;
  ag = (ag + ((ag >> 8) & kLanes)) & ~kLanes;
  return rb | ag;
}

// Sum of two pixels, each channel saturating at 255 (sources whose colour exceeds their alpha
// would otherwise carry into the next channel).
inline uint32_t addPixels(uint32_t x, uint32_t y) {
  constexpr uint32_t kLanes = 0x00FF00FF, kCarry = 0x01000100;
  uint32_t rb = (x & kLanes) + (y & kLanes);
  uint32_t ag = ((x >> 8) & kLanes) + ((y >> 8) & kLanes);
  if ((rb | ag) & kCarry) {
    rb |= ((rb & kCarry) >> 8) * 0xFF;
    ag |= ((ag & kCarry) >> 8) * 0xFF;
  }
  return (rb & kLanes) | ((ag & kLanes) << 8);
}

// Premultiplied src, scaled by coverage (0..255), over dst.
inline uint32_t blendOver(uint32_t dst, uint32_t src, uint32_t coverage) {
  if (coverage != 255) src = scalePixel(src, coverage);
  uint32_t sa = src >> 24;
  if (sa == 255) return src;
  if (src == 0) return dst;
  return addPixels(src, scalePixel(dst, 255 - sa));
}

}  // namespace vexil::render
