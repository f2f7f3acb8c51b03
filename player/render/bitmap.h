#pragma once
// A decoded image: premultiplied 0xAARRGGBB pixels, rows top to bottom. Frame buffers, movie
// bitmaps and masks (alpha only) all use it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexil::render {

struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;

  Bitmap() = default;
  Bitmap(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The most pixels one movie's bitmaps may hold together (256 MB of pixels): a file that claims
// 65535 x 65535 gets nothing drawn for that bitmap instead of ending the process.
inline constexpr uint64_t kMaxMovieBitmapPixels = 64u << 20;

// Straight colour back from premultiplied (rounded).
uint32_t unpremultiply(uint32_t argb);

}  // namespace vexil::render
