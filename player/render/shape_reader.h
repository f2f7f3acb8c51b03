#pragma once
// Reads shape records (the styled shapes of DefineShape 1-4 and the bare glyph outlines of fonts)
// into Shape. Throws swf::SwfError when the bytes end early; style indexes past the arrays are
// dropped rather than trusted.
#include <cstdint>
#include <functional>

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
// A style array's count: one byte, or 0xFF and two more from the second shape version on.
uint16_t readStyleCount(swf::ByteReader& reader, int version);

// Receives each edge with the fill styles on its left (fill0) and right (fill1) and its line style,
// as one-based indexes (0 for none).
using EdgeSink = std::function<void(const Segment&, uint32_t fill0, uint32_t fill1, uint32_t line)>;
// Edge records without style blocks of their own (a morph shape's two edge lists).
void readEdgeRecords(swf::ByteReader& reader, const EdgeSink& onEdge);
// Files an edge under the outlines of the fills on its sides (turned so each fill lies on the same
// side) and under its line's edges; indexes past the styles are dropped.
void fileEdge(Shape& shape, const Segment& segment, uint32_t fill0, uint32_t fill1, uint32_t line);

}  // namespace vexil::render
