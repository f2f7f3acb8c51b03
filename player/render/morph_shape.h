#pragma once
// A morph shape: two key shapes whose edges correspond one to one and whose styles pair up, drawn
// at any ratio between them (0 the start, 65535 the end) by blending points, colours, widths,
// gradients and matrices.
#include <cstdint>
#include <utility>
#include <vector>

#include "player/render/shape.h"
#include "player/swf/byte_reader.h"

namespace vexil::render {

struct MorphShape {
  Shape start, end;  // the styles at either end (their outlines stay empty)
  std::vector<Segment> startEdges, endEdges;
  std::vector<std::pair<uint32_t, uint32_t>> edgeFills;  // fill0/fill1 of each edge
  std::vector<uint32_t> edgeLines;
};

// Reads a DefineMorphShape (version 1) or DefineMorphShape2 (version 2) body after its character
// id and bounds. Throws swf::SwfError when the bytes end early.
MorphShape readMorphShape(swf::ByteReader& reader, int version);

// The shape at a placement's ratio.
Shape morphShapeAt(const MorphShape& morph, uint16_t ratio);

}  // namespace vexil::render
