#pragma once
// Turns the bitmap tags' payloads into Bitmaps: zlib-packed colour-mapped and true-colour pixels,
// and JPEG (or PNG/GIF, which some tools put in the JPEG tags) through stb_image. Any failure
// gives nothing, and the shape that uses the bitmap draws without it.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player/render/bitmap.h"

namespace vexil::render {

// The largest width or height accepted from any image.
inline constexpr int kMaxBitmapSide = 8192;

// format, width and height as the tag states them; withAlpha for the second lossless tag.
std::optional<Bitmap> decodeLossless(uint8_t format, int width, int height, uint8_t colorTableSize,
                                     std::span<const uint8_t> packed, bool withAlpha, uint64_t pixelBudget);
// JPEG data, possibly preceded by shared tables (from the movie's table tag), possibly followed by a
// zlib-packed alpha plane (empty when none).
std::optional<Bitmap> decodeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data,
                                 std::span<const uint8_t> packedAlpha, uint64_t pixelBudget);

// Inflates into exactly expected bytes or fails (short or bad data).
std::optional<std::vector<uint8_t>> inflateExactly(std::span<const uint8_t> packed, size_t expected);

}  // namespace vexil::render
