#pragma once
// The small records that display tags share: colours, matrices and colour transforms.
#include <cstdint>

#include "player/render/geometry.h"
#include "player/swf/byte_reader.h"

namespace vexil::render {

uint32_t readRgb(swf::ByteReader& reader);   // as opaque 0xFFRRGGBB
uint32_t readRgba(swf::ByteReader& reader);  // as 0xAARRGGBB
Matrix readMatrix(swf::ByteReader& reader);
ColorTransform readColorTransform(swf::ByteReader& reader, bool withAlpha);

}  // namespace vexil::render
