#include "player/render/record_reader.h"

namespace vexil::render {
namespace {

double fixed16(int32_t value) { return value / 65536.0; }

}  // namespace

uint32_t readRgb(swf::ByteReader& reader) {
  uint32_t red = reader.u8(), green = reader.u8(), blue = reader.u8();
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

uint32_t readRgba(swf::ByteReader& reader) {
  uint32_t rgb = readRgb(reader) & 0xFFFFFF;
  return (static_cast<uint32_t>(reader.u8()) << 24) | rgb;
}

Matrix readMatrix(swf::ByteReader& reader) {
  reader.alignToByte();
  Matrix m;
  if (reader.bits(1)) {
    unsigned bits = reader.bits(5);
    m.a = fixed16(reader.signedBits(bits));
    m.d = fixed16(reader.signedBits(bits));
  }
  if (reader.bits(1)) {
    unsigned bits = reader.bits(5);
    m.b = fixed16(reader.signedBits(bits));
    m.c = fixed16(reader.signedBits(bits));
  }
  unsigned bits = reader.bits(5);
  m.tx = reader.signedBits(bits);
  m.ty = reader.signedBits(bits);
  reader.alignToByte();
  return m;
}

ColorTransform readColorTransform(swf::ByteReader& reader, bool withAlpha) {
  reader.alignToByte();
  ColorTransform cx;
  bool hasAdd = reader.bits(1), hasMult = reader.bits(1);
  unsigned bits = reader.bits(4);
  int channels = withAlpha ? 4 : 3;
  if (hasMult) {
    for (int i = 0; i < channels; ++i) cx.mult[i] = reader.signedBits(bits);
  }
  if (hasAdd) {
    for (int i = 0; i < channels; ++i) cx.add[i] = reader.signedBits(bits);
  }
  reader.alignToByte();
  return cx;
}

}  // namespace vexil::render
