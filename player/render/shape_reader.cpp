#include "player/render/shape_reader.h"

#include <algorithm>

#include "player/render/record_reader.h"
#include "player/swf/swf_error.h"

namespace vexil::render {

uint16_t readStyleCount(swf::ByteReader& reader, int version) {
  uint16_t count = reader.u8();
  if (count == 0xFF && version >= 2) count = reader.u16();
  return count;
}

namespace {

std::vector<GradientStop> readGradientStops(swf::ByteReader& reader, int version, FillStyle& style) {
  uint8_t header = reader.u8();
  style.spread = static_cast<Spread>(std::min(header >> 6, 2));
  style.linearRgb = ((header >> 4) & 3) == 1;
  std::vector<GradientStop> stops(header & 0x0F);
  for (GradientStop& stop : stops) {
    stop.ratio = reader.u8();
    stop.color = version >= 3 ? readRgba(reader) : readRgb(reader);
  }
  return stops;
}

// Adds the styles of one style block, remembering where its indexes start.
struct StyleBase {
  uint32_t fills = 0, lines = 0;
};

StyleBase readStyleArrays(swf::ByteReader& reader, int version, Shape& shape) {
  StyleBase base{static_cast<uint32_t>(shape.fills.size()), static_cast<uint32_t>(shape.lines.size())};
  for (uint16_t n = readStyleCount(reader, version); n > 0; --n) shape.fills.push_back(readFillStyle(reader, version));
  for (uint16_t n = readStyleCount(reader, version); n > 0; --n) shape.lines.push_back(readLineStyle(reader, version));
  shape.fillOutlines.resize(shape.fills.size());
  shape.lineEdges.resize(shape.lines.size());
  return base;
}

// Walks the edge records, handing each edge to onEdge with the fills on its two sides and its
// line. Styled shapes may start new style blocks, read into shape.
void walkRecords(swf::ByteReader& reader, int version, Shape& shape, StyleBase base, bool styled,
                 const EdgeSink& onEdge) {
  unsigned fillBits = reader.bits(4), lineBits = reader.bits(4);
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  Point pen;
  size_t edges = 0;
  for (;;) {
    if (reader.bits(1) == 0) {
      unsigned flags = reader.bits(5);
      if (flags == 0) break;
      if (flags & 1) {
        unsigned bits = reader.bits(5);
        pen.x = reader.signedBits(bits);
        pen.y = reader.signedBits(bits);
      }
      uint32_t raw0 = (flags & 2) ? reader.bits(fillBits) : 0;
      uint32_t raw1 = (flags & 4) ? reader.bits(fillBits) : 0;
      uint32_t rawLine = (flags & 8) ? reader.bits(lineBits) : 0;
      if ((flags & 16) && styled && version >= 2) {
        // The indexes of this record already refer to the new block.
        base = readStyleArrays(reader, version, shape);
        fillBits = reader.bits(4);
        lineBits = reader.bits(4);
        fill0 = fill1 = line = 0;
      }
      // Indexes are one-based within the newest style block; zero means no style.
      auto resolve = [](uint32_t raw, uint32_t offset) { return raw == 0 ? 0 : raw + offset; };
      if (flags & 2) fill0 = resolve(raw0, base.fills);
      if (flags & 4) fill1 = resolve(raw1, base.fills);
      if (flags & 8) line = resolve(rawLine, base.lines);
      continue;
    }
    if (++edges > kMaxShapeEdges) break;
    bool straight = reader.bits(1);
    unsigned bits = reader.bits(4) + 2;
    Segment segment{pen, pen, pen, !straight};
    if (straight) {
      bool general = reader.bits(1);
      bool vertical = !general && reader.bits(1);
      double dx = general || !vertical ? reader.signedBits(bits) : 0;
      double dy = general || vertical ? reader.signedBits(bits) : 0;
      segment.to = {pen.x + dx, pen.y + dy};
      segment.control = segment.to;
    } else {
      double cx = reader.signedBits(bits), cy = reader.signedBits(bits);
      double ax = reader.signedBits(bits), ay = reader.signedBits(bits);
      segment.control = {pen.x + cx, pen.y + cy};
      segment.to = {segment.control.x + ax, segment.control.y + ay};
    }
    pen = segment.to;
    onEdge(segment, fill0, fill1, line);
  }
}

void readRecords(swf::ByteReader& reader, int version, Shape& shape, StyleBase base, bool styled) {
  walkRecords(reader, version, shape, base, styled,
              [&](const Segment& segment, uint32_t fill0, uint32_t fill1, uint32_t line) {
                fileEdge(shape, segment, fill0, fill1, line);
              });
}

}  // namespace

void fileEdge(Shape& shape, const Segment& segment, uint32_t fill0, uint32_t fill1, uint32_t line) {
  if (fill1 > 0 && fill1 <= shape.fillOutlines.size()) shape.fillOutlines[fill1 - 1].push_back(segment);
  if (fill0 > 0 && fill0 <= shape.fillOutlines.size()) {
    shape.fillOutlines[fill0 - 1].push_back({segment.to, segment.control, segment.from, segment.curved});
  }
  if (line > 0 && line <= shape.lineEdges.size()) shape.lineEdges[line - 1].push_back(segment);
}

void readEdgeRecords(swf::ByteReader& reader, const EdgeSink& onEdge) {
  Shape unused;
  walkRecords(reader, 1, unused, {}, false, onEdge);
}

FillStyle readFillStyle(swf::ByteReader& reader, int version) {
  FillStyle style;
  style.type = static_cast<FillType>(reader.u8());
  switch (style.type) {
    case FillType::Solid: style.color = version >= 3 ? readRgba(reader) : readRgb(reader); break;
    case FillType::LinearGradient:
    case FillType::RadialGradient:
    case FillType::FocalGradient:
      style.matrix = readMatrix(reader);
      style.stops = readGradientStops(reader, version, style);
      if (style.type == FillType::FocalGradient) style.focal = reader.s16() / 256.0;
      break;
    case FillType::RepeatingBitmap:
    case FillType::ClippedBitmap:
    case FillType::RepeatingHardBitmap:
    case FillType::ClippedHardBitmap:
      style.bitmapId = reader.u16();
      style.matrix = readMatrix(reader);
      break;
    default: throw swf::SwfError("unknown fill style");
  }
  return style;
}

LineStyle readLineStyle(swf::ByteReader& reader, int version) {
  LineStyle style;
  style.width = reader.u16();
  if (version < 4) {
    style.color = version >= 3 ? readRgba(reader) : readRgb(reader);
    return style;
  }
  style.startCap = static_cast<CapStyle>(std::min(reader.bits(2), 2u));
  style.join = static_cast<JoinStyle>(std::min(reader.bits(2), 2u));
  style.hasFill = reader.bits(1);
  style.scaleX = !reader.bits(1);
  style.scaleY = !reader.bits(1);
  reader.bits(1);  // pixel hinting
  reader.bits(5);
  reader.bits(1);  // no close
  style.endCap = static_cast<CapStyle>(std::min(reader.bits(2), 2u));
  if (style.join == JoinStyle::Miter) style.miterLimit = reader.u16() / 256.0;
  if (style.hasFill) {
    style.fill = readFillStyle(reader, version);
    style.color = style.fill.color;
  } else {
    style.color = readRgba(reader);
  }
  return style;
}

Shape readStyledShape(swf::ByteReader& reader, int version) {
  Shape shape;
  StyleBase base = readStyleArrays(reader, version, shape);
  readRecords(reader, version, shape, base, true);
  return shape;
}

Shape readGlyphShape(swf::ByteReader& reader) {
  Shape shape;
  shape.fills.push_back({});
  shape.fillOutlines.resize(1);
  readRecords(reader, 1, shape, {}, false);
  return shape;
}

}  // namespace vexil::render
