#pragma once
// Reads shape records (the styled shapes of DefineShape 1-4 and the bare glyph outlines of fonts)
// into Shape. Throws swf::SwfError when the bytes end early; style indexes past the arrays are
// dropped rather than trusted.
#include <cstdint>

#include "player/render/shape.h"
#include "player/swf/byte_reader.h"

namespace vexil::render {

// Edges one shape may hold; a file claiming more gets the first ones only.
inline constexpr size_t kMaxShapeEdges = 1u << 20;

// version: 1-4 for DefineShape..DefineShape4 (colours gain alpha from 3, line styles change at 4).
Shape readStyledShape(swf::ByteReader& reader, int version);
// A glyph: one implicit solid fill (index 1), no line styles.
Shape readGlyphShape(swf::ByteReader& reader);

// The pieces, for morph shapes which interleave them differently.
FillStyle readFillStyle(swf::ByteReader& reader, int version);
LineStyle readLineStyle(swf::ByteReader& reader, int version);

}  // namespace vexil::render
