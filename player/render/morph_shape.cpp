#include "player/render/morph_shape.h"

#include <algorithm>
#include <cmath>

#include "player/render/record_reader.h"
#include "player/render/shape_reader.h"
#include "player/swf/swf_error.h"

namespace vexil::render {
namespace {

bool isGradient(FillType type) {
  return type == FillType::LinearGradient || type == FillType::RadialGradient || type == FillType::FocalGradient;
}

bool isBitmap(FillType type) {
  return type == FillType::RepeatingBitmap || type == FillType::ClippedBitmap ||
         type == FillType::RepeatingHardBitmap || type == FillType::ClippedHardBitmap;
}

// Both ends of a morph fill style: the type once, then each value for the start and the end.
std::pair<FillStyle, FillStyle> readMorphFill(swf::ByteReader& reader) {
  FillStyle start, end;
  start.type = end.type = static_cast<FillType>(reader.u8());
  if (start.type == FillType::Solid) {
    start.color = readRgba(reader);
    end.color = readRgba(reader);
  } else if (isGradient(start.type)) {
    start.matrix = readMatrix(reader);
    end.matrix = readMatrix(reader);
    uint8_t header = reader.u8();
    start.spread = end.spread = static_cast<Spread>(std::min(header >> 6, 2));
    start.linearRgb = end.linearRgb = ((header >> 4) & 3) == 1;
    for (int n = header & 0x0F; n > 0; --n) {
      GradientStop from, to;
      from.ratio = reader.u8();
      from.color = readRgba(reader);
      to.ratio = reader.u8();
      to.color = readRgba(reader);
      start.stops.push_back(from);
      end.stops.push_back(to);
    }
    if (start.type == FillType::FocalGradient) {
      start.focal = reader.s16() / 256.0;
      end.focal = reader.s16() / 256.0;
    }
  } else if (isBitmap(start.type)) {
    start.bitmapId = end.bitmapId = reader.u16();
    start.matrix = readMatrix(reader);
    end.matrix = readMatrix(reader);
  } else {
    throw swf::SwfError("unknown morph fill style");
  }
  return {start, end};
}

std::pair<LineStyle, LineStyle> readMorphLine(swf::ByteReader& reader, int version) {
  LineStyle start, end;
  start.width = reader.u16();
  end.width = reader.u16();
  if (version >= 2) {
    start.startCap = static_cast<CapStyle>(std::min(reader.bits(2), 2u));
    start.join = static_cast<JoinStyle>(std::min(reader.bits(2), 2u));
    start.hasFill = reader.bits(1);
    start.scaleX = !reader.bits(1);
    start.scaleY = !reader.bits(1);
    reader.bits(1);  // pixel hinting
    reader.bits(5);
    reader.bits(1);  // no close
    start.endCap = static_cast<CapStyle>(std::min(reader.bits(2), 2u));
    if (start.join == JoinStyle::Miter) start.miterLimit = reader.u16() / 256.0;
  }
  LineStyle shared = start;
  shared.width = end.width;
  end = shared;
  if (start.hasFill) {
    std::tie(start.fill, end.fill) = readMorphFill(reader);
    start.color = start.fill.color;
    end.color = end.fill.color;
  } else {
    start.color = readRgba(reader);
    end.color = readRgba(reader);
  }
  return {start, end};
}

double mix(double from, double to, double t) { return from + (to - from) * t; }

uint32_t mixColor(uint32_t from, uint32_t to, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double value = mix((from >> shift) & 0xFF, (to >> shift) & 0xFF, t);
    out |= static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 255.0))) << shift;
  }
  return out;
}

Point mixPoint(Point from, Point to, double t) { return {mix(from.x, to.x, t), mix(from.y, to.y, t)}; }

Matrix mixMatrix(const Matrix& from, const Matrix& to, double t) {
  return {mix(from.a, to.a, t), mix(from.b, to.b, t), mix(from.c, to.c, t),
          mix(from.d, to.d, t), mix(from.tx, to.tx, t), mix(from.ty, to.ty, t)};
}

FillStyle mixFill(const FillStyle& from, const FillStyle& to, double t) {
  FillStyle out = from;
  out.color = mixColor(from.color, to.color, t);
  out.matrix = mixMatrix(from.matrix, to.matrix, t);
  out.focal = mix(from.focal, to.focal, t);
  for (size_t i = 0; i < out.stops.size() && i < to.stops.size(); ++i) {
    out.stops[i].ratio = static_cast<uint8_t>(std::lround(mix(from.stops[i].ratio, to.stops[i].ratio, t)));
    out.stops[i].color = mixColor(from.stops[i].color, to.stops[i].color, t);
  }
  return out;
}

LineStyle mixLine(const LineStyle& from, const LineStyle& to, double t) {
  LineStyle out = from;
  out.width = static_cast<uint16_t>(std::lround(mix(from.width, to.width, t)));
  out.color = mixColor(from.color, to.color, t);
  if (from.hasFill) {
    out.fill = mixFill(from.fill, to.fill, t);
    out.color = out.fill.color;
  }
  return out;
}

// A straight edge as a curve whose control point is its middle, so it can blend with a curve.
Segment asCurve(const Segment& segment) {
  if (segment.curved) return segment;
  return {segment.from, mixPoint(segment.from, segment.to, 0.5), segment.to, true};
}

Segment mixSegment(const Segment& from, const Segment& to, double t) {
  if (!from.curved && !to.curved) {
    Point start = mixPoint(from.from, to.from, t), end = mixPoint(from.to, to.to, t);
    return {start, end, end, false};
  }
  Segment a = asCurve(from), b = asCurve(to);
  return {mixPoint(a.from, b.from, t), mixPoint(a.control, b.control, t), mixPoint(a.to, b.to, t), true};
}

}  // namespace

MorphShape readMorphShape(swf::ByteReader& reader, int version) {
  MorphShape morph;
  reader.u32();  // offset of the end edges: they follow the start edges directly
  for (uint16_t n = readStyleCount(reader, 2); n > 0; --n) {
    auto [start, end] = readMorphFill(reader);
    morph.start.fills.push_back(std::move(start));
    morph.end.fills.push_back(std::move(end));
  }
  for (uint16_t n = readStyleCount(reader, 2); n > 0; --n) {
    auto [start, end] = readMorphLine(reader, version);
    morph.start.lines.push_back(std::move(start));
    morph.end.lines.push_back(std::move(end));
  }
  readEdgeRecords(reader, [&](const Segment& segment, uint32_t fill0, uint32_t fill1, uint32_t line) {
    morph.startEdges.push_back(segment);
    morph.edgeFills.emplace_back(fill0, fill1);
    morph.edgeLines.push_back(line);
  });
  reader.alignToByte();
  readEdgeRecords(reader, [&](const Segment& segment, uint32_t, uint32_t, uint32_t) {
    if (morph.endEdges.size() < morph.startEdges.size()) morph.endEdges.push_back(segment);
  });
  return morph;
}

Shape morphShapeAt(const MorphShape& morph, uint16_t ratio) {
  double t = ratio / 65535.0;
  Shape shape;
  for (size_t i = 0; i < morph.start.fills.size(); ++i) {
    shape.fills.push_back(mixFill(morph.start.fills[i], morph.end.fills[i], t));
  }
  for (size_t i = 0; i < morph.start.lines.size(); ++i) {
    shape.lines.push_back(mixLine(morph.start.lines[i], morph.end.lines[i], t));
  }
  shape.fillOutlines.resize(shape.fills.size());
  shape.lineEdges.resize(shape.lines.size());
  for (size_t i = 0; i < morph.startEdges.size(); ++i) {
    // An end list shorter than the start one (a broken file) leaves the rest where it starts.
    const Segment& from = morph.startEdges[i];
    Segment segment = i < morph.endEdges.size() ? mixSegment(from, morph.endEdges[i], t) : from;
    fileEdge(shape, segment, morph.edgeFills[i].first, morph.edgeFills[i].second, morph.edgeLines[i]);
  }
  return shape;
}

}  // namespace vexil::render
