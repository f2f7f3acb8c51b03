#pragma once
// Writes a frame as an 8-bit RGBA PNG (straight alpha), compressed with zlib.
#include <cstdint>
#include <string_view>
#include <vector>

#include "player/render/bitmap.h"

namespace vexil::render {

std::vector<uint8_t> encodePng(const Bitmap& image);

}  // namespace vexil::render
