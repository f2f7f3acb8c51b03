#include "player/swf/display_tag_writer.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

#include "player/swf/bit_writer.h"

namespace vexil::swf {
namespace {

// Tag codes written here (the movie model's own table lists only what it reads).
constexpr uint16_t kDefineBitsLossless2 = 36, kPlaceObject2 = 26, kRemoveObject2 = 28, kDefineShape3 = 32,
                   kDefineSprite = 39, kShowFrame = 1, kEnd = 0, kDefineMorphShape = 46;

int32_t toFixed16(double value) { return static_cast<int32_t>(std::lround(value * 65536)); }

void appendMatrix(std::vector<uint8_t>& out, const MatrixSpec& m) {
  BitWriter writer(out);
  int32_t a = toFixed16(m.a), d = toFixed16(m.d), b = toFixed16(m.b), c = toFixed16(m.c);
  writer.write(1, 1);
  unsigned scaleBits = std::max(bitsFor(a), bitsFor(d));
  writer.write(scaleBits, 5);
  writer.writeSigned(a, scaleBits);
  writer.writeSigned(d, scaleBits);
  bool rotates = b != 0 || c != 0;
  writer.write(rotates, 1);
  if (rotates) {
    unsigned bits = std::max(bitsFor(b), bitsFor(c));
    writer.write(bits, 5);
    writer.writeSigned(b, bits);
    writer.writeSigned(c, bits);
  }
  unsigned bits = std::max(bitsFor(m.tx), bitsFor(m.ty));
  writer.write(bits, 5);
  writer.writeSigned(m.tx, bits);
  writer.writeSigned(m.ty, bits);
}

void appendColorTransform(std::vector<uint8_t>& out, const ColorTransformSpec& cx) {
  BitWriter writer(out);
  unsigned bits = 1;
  for (int i = 0; i < 4; ++i) bits = std::max({bits, bitsFor(cx.mult[i]), bitsFor(cx.add[i])});
  writer.write(1, 1);
  writer.write(1, 1);
  writer.write(bits, 4);
  for (int16_t value : cx.mult) writer.writeSigned(value, bits);
  for (int16_t value : cx.add) writer.writeSigned(value, bits);
}

void appendRgba(std::vector<uint8_t>& out, uint32_t argb) {
  out.insert(out.end(), {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb),
                         static_cast<uint8_t>(argb >> 24)});
}

void appendFill(std::vector<uint8_t>& out, const FillSpec& fill) {
  out.push_back(static_cast<uint8_t>(fill.kind));
  switch (fill.kind) {
    case FillSpec::Kind::Solid: appendRgba(out, fill.rgba); break;
    case FillSpec::Kind::Linear:
    case FillSpec::Kind::Radial:
      appendMatrix(out, fill.matrix);
      out.push_back(static_cast<uint8_t>(std::min<size_t>(fill.stops.size(), 15)));
      for (size_t i = 0; i < fill.stops.size() && i < 15; ++i) {
        out.push_back(fill.stops[i].ratio);
        appendRgba(out, fill.stops[i].rgba);
      }
      break;
    default:
      appendU16(out, fill.bitmap);
      appendMatrix(out, fill.matrix);
      break;
  }
}

unsigned bitsForCount(size_t count) {
  unsigned bits = 0;
  while ((size_t{1} << bits) <= count) ++bits;
  return bits;
}

void appendPolygon(BitWriter& writer, const PolygonSpec& polygon, unsigned fillBits, unsigned lineBits) {
  if (polygon.points.empty()) return;
  auto [x0, y0] = polygon.points.front();
  // Style change: move to the first point, fill on the right-hand side, line.
  writer.write(0, 1);
  writer.write(0b01101, 5);  // line style, fill style 1, move to
  unsigned moveBits = std::max(bitsFor(x0), bitsFor(y0));
  writer.write(moveBits, 5);
  writer.writeSigned(x0, moveBits);
  writer.writeSigned(y0, moveBits);
  writer.write(polygon.fill, fillBits);
  writer.write(polygon.line, lineBits);
  auto [px, py] = polygon.points.front();
  for (size_t i = 1; i <= polygon.points.size(); ++i) {
    auto [x, y] = polygon.points[i % polygon.points.size()];
    int32_t dx = x - px, dy = y - py;
    px = x;
    py = y;
    if (dx == 0 && dy == 0) continue;
    unsigned bits = std::max({bitsFor(dx), bitsFor(dy), 2u});
    writer.write(1, 1);  // edge
    writer.write(1, 1);  // straight
    writer.write(bits - 2, 4);
    writer.write(1, 1);  // general line
    writer.writeSigned(dx, bits);
    writer.writeSigned(dy, bits);
  }
}

TwipsRect boundsOf(const std::vector<PolygonSpec>& polygons) {
  TwipsRect bounds{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
  for (const PolygonSpec& polygon : polygons) {
    for (auto [x, y] : polygon.points) {
      bounds = {std::min(bounds.xMin, x), std::max(bounds.xMax, x), std::min(bounds.yMin, y), std::max(bounds.yMax, y)};
    }
  }
  if (bounds.xMin > bounds.xMax) bounds = {};
  return bounds;
}

}  // namespace

std::vector<uint8_t> defineShapeTag(uint16_t id, const ShapeSpec& shape) {
  std::vector<uint8_t> body;
  appendU16(body, id);
  appendRect(body, boundsOf(shape.polygons));
  body.push_back(static_cast<uint8_t>(shape.fills.size()));
  for (const FillSpec& fill : shape.fills) appendFill(body, fill);
  body.push_back(static_cast<uint8_t>(shape.lines.size()));
  for (const LineSpec& line : shape.lines) {
    appendU16(body, line.width);
    appendRgba(body, line.rgba);
  }
  unsigned fillBits = bitsForCount(shape.fills.size()), lineBits = bitsForCount(shape.lines.size());
  BitWriter writer(body);
  writer.write(fillBits, 4);
  writer.write(lineBits, 4);
  for (const PolygonSpec& polygon : shape.polygons) appendPolygon(writer, polygon, fillBits, lineBits);
  writer.write(0, 6);  // end of shape
  std::vector<uint8_t> tag;
  appendTag(tag, kDefineShape3, body);
  return tag;
}

std::vector<uint8_t> defineMorphShapeTag(uint16_t id, const MorphSpec& morph) {
  std::vector<uint8_t> body;
  appendU16(body, id);
  appendRect(body, boundsOf({morph.start}));
  appendRect(body, boundsOf({morph.end}));
  std::vector<uint8_t> styles;
  styles.insert(styles.end(), {1, 0});  // one solid fill: type, start and end colours
  appendRgba(styles, morph.startRgba);
  appendRgba(styles, morph.endRgba);
  styles.push_back(0);  // no lines
  {
    BitWriter writer(styles);
    writer.write(1, 4);
    writer.write(0, 4);
    appendPolygon(writer, morph.start, 1, 0);
    writer.write(0, 6);
  }
  // The end edges carry no styles: moves and edges only.
  PolygonSpec end = morph.end;
  end.fill = end.line = 0;
  appendU32(body, static_cast<uint32_t>(styles.size()));  // where the end edges begin, after this field
  body.insert(body.end(), styles.begin(), styles.end());
  {
    BitWriter writer(body);
    writer.write(0, 4);
    writer.write(0, 4);
    appendPolygon(writer, end, 0, 0);
    writer.write(0, 6);
  }
  std::vector<uint8_t> tag;
  appendTag(tag, kDefineMorphShape, body);
  return tag;
}

std::vector<uint8_t> placeObjectTag(const Placement& place) {
  std::vector<uint8_t> body;
  uint8_t flags = (place.move ? 0x01 : 0) | (place.character ? 0x02 : 0) | (place.matrix ? 0x04 : 0) |
                  (place.colorTransform ? 0x08 : 0) | (place.ratio ? 0x10 : 0) | (place.name ? 0x20 : 0) |
                  (place.clipDepth ? 0x40 : 0);
  body.push_back(flags);
  appendU16(body, place.depth);
  if (place.character) appendU16(body, *place.character);
  if (place.matrix) appendMatrix(body, *place.matrix);
  if (place.colorTransform) appendColorTransform(body, *place.colorTransform);
  if (place.ratio) appendU16(body, *place.ratio);
  if (place.name) {
    body.insert(body.end(), place.name->begin(), place.name->end());
    body.push_back(0);
  }
  if (place.clipDepth) appendU16(body, *place.clipDepth);
  std::vector<uint8_t> tag;
  appendTag(tag, kPlaceObject2, body);
  return tag;
}

std::vector<uint8_t> removeObjectTag(uint16_t depth) {
  std::vector<uint8_t> tag;
  appendU16(tag, static_cast<uint16_t>((kRemoveObject2 << 6) | 2));  // a short header: two bytes of body
  appendU16(tag, depth);
  return tag;
}

std::vector<uint8_t> defineSpriteTag(uint16_t id, const std::vector<std::vector<uint8_t>>& frames) {
  std::vector<uint8_t> body;
  appendU16(body, id);
  appendU16(body, static_cast<uint16_t>(frames.size()));
  for (const auto& frame : frames) {
    body.insert(body.end(), frame.begin(), frame.end());
    appendTag(body, kShowFrame, {});
  }
  appendTag(body, kEnd, {});
  std::vector<uint8_t> tag;
  appendTag(tag, kDefineSprite, body);
  return tag;
}

std::vector<uint8_t> defineBitmapTag(uint16_t id, int width, int height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> raw;
  for (uint32_t pixel : argb) {
    uint32_t a = pixel >> 24;
    auto pre = [&](int shift) { return static_cast<uint8_t>((((pixel >> shift) & 0xFF) * a + 127) / 255); };
    raw.insert(raw.end(), {static_cast<uint8_t>(a), pre(16), pre(8), pre(0)});
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
    throw std::runtime_error("deflate failed");
  }
  packed.resize(size);
  std::vector<uint8_t> body;
  appendU16(body, id);
  body.push_back(5);  // 32-bit pixels
  appendU16(body, static_cast<uint16_t>(width));
  appendU16(body, static_cast<uint16_t>(height));
  body.insert(body.end(), packed.begin(), packed.end());
  std::vector<uint8_t> tag;
  appendTag(tag, kDefineBitsLossless2, body);
  return tag;
}

}  // namespace vexil::swf
