#include "player/render/span_shaders.h"

#include <algorithm>
#include <cmath>

namespace vexil::render {
namespace {

constexpr double kGradientHalf = 16384.0;
constexpr double kFixedOne = 4294967296.0;  // 32 fraction bits
// Positions stepped in fixed point stay within this many units so that a row's steps fit 64 bits.
constexpr double kFixedLimit = 1 << 30;

// Start and step of a run in 32.32 fixed point; false when the run reaches too far (or is NaN).
bool toFixed(double start, double step, int count, int64_t& fixedStart, int64_t& fixedStep) {
  double end = start + step * count;
  if (!(std::fabs(start) < kFixedLimit && std::fabs(end) < kFixedLimit)) return false;
  fixedStart = std::llround(start * kFixedOne);
  fixedStep = std::llround(step * kFixedOne);
  return true;
}

inline double floorOf(double value) {
  double whole = static_cast<double>(static_cast<int64_t>(value));
  return whole > value ? whole - 1 : whole;
}

// A position along the ramp (0..256 covers it once) to a ramp index under the spread mode.
inline int rampIndex(double position, Spread spread) {
  constexpr double kLimit = 1e15;
  if (!(position == position)) position = 0;
  position = std::clamp(position, -kLimit, kLimit);
  if (spread == Spread::Repeat) {
    position -= 256 * floorOf(position / 256);
  } else if (spread == Spread::Reflect) {
    double period = position - 512 * floorOf(position / 512);
    position = period > 256 ? 512 - period : period;
  }
  return static_cast<int>(std::clamp(position, 0.0, 255.0));
}

// The same for a whole-number position.
template <Spread kSpread>
int rampIndexOf(int64_t whole) {
  if constexpr (kSpread == Spread::Pad) return static_cast<int>(std::clamp<int64_t>(whole, 0, 255));
  if constexpr (kSpread == Spread::Repeat) return static_cast<int>(whole & 255);
  int64_t period = whole & 511;
  return static_cast<int>(period > 255 ? 511 - period : period);
}

template <Spread kSpread>
void shadeLinearFixed(const Paint& paint, int64_t position, int64_t step, int count, uint32_t* out) {
  for (int i = 0; i < count; ++i, position += step) out[i] = paint.ramp[rampIndexOf<kSpread>(position >> 32)];
}

void shadeLinear(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  const Matrix& m = paint.fromPixels;
  constexpr double kScale = 256 / (2 * kGradientHalf);
  double px = x0 + 0.5, py = y + 0.5;
  double start = (m.a * px + m.c * py + m.tx + kGradientHalf) * kScale, step = m.a * kScale;
  int64_t position = 0, fixedStep = 0;
  if (!toFixed(start, step, count, position, fixedStep)) {
    for (int i = 0; i < count; ++i) {
      double gx = m.a * (px + i) + m.c * py + m.tx;
      out[i] = paint.ramp[rampIndex((gx + kGradientHalf) * kScale, paint.spread)];
    }
    return;
  }
  switch (paint.spread) {
    case Spread::Pad: shadeLinearFixed<Spread::Pad>(paint, position, fixedStep, count, out); break;
    case Spread::Repeat: shadeLinearFixed<Spread::Repeat>(paint, position, fixedStep, count, out); break;
    case Spread::Reflect: shadeLinearFixed<Spread::Reflect>(paint, position, fixedStep, count, out); break;
  }
}

template <Spread kSpread>
void shadeRadialSpread(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  const Matrix& m = paint.fromPixels;
  double py = y + 0.5;
  double rowX = m.c * py + m.tx, rowY = m.d * py + m.ty;
  for (int i = 0; i < count; ++i) {
    double px = x0 + i + 0.5;
    double gx = m.a * px + rowX, gy = m.b * px + rowY;
    out[i] = paint.ramp[rampIndex(std::sqrt(gx * gx + gy * gy) / kGradientHalf * 256, kSpread)];
  }
}

void shadeRadial(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  switch (paint.spread) {
    case Spread::Pad: shadeRadialSpread<Spread::Pad>(paint, y, x0, count, out); break;
    case Spread::Repeat: shadeRadialSpread<Spread::Repeat>(paint, y, x0, count, out); break;
    case Spread::Reflect: shadeRadialSpread<Spread::Reflect>(paint, y, x0, count, out); break;
  }
}

// The ray from the focal point through the pixel meets the unit circle at distance 1/t, so t is
// dd / (-fd + root) with one division.
template <Spread kSpread>
void shadeFocalSpread(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  const Matrix& m = paint.fromPixels;
  constexpr double kUnit = 1 / kGradientHalf;
  double py = y + 0.5, focal = paint.focal;
  double rowX = m.c * py + m.tx, rowY = m.d * py + m.ty, outside = focal * focal - 1;
  for (int i = 0; i < count; ++i) {
    double px = x0 + i + 0.5;
    double dx = (m.a * px + rowX) * kUnit - focal, dy = (m.b * px + rowY) * kUnit;
    double dd = dx * dx + dy * dy, fd = focal * dx;
    double reach = -fd + std::sqrt(std::max(0.0, fd * fd - dd * outside));
    out[i] = paint.ramp[rampIndex(dd > 0 && reach > 0 ? 256 * dd / reach : 0, kSpread)];
  }
}

void shadeFocal(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  switch (paint.spread) {
    case Spread::Pad: shadeFocalSpread<Spread::Pad>(paint, y, x0, count, out); break;
    case Spread::Repeat: shadeFocalSpread<Spread::Repeat>(paint, y, x0, count, out); break;
    case Spread::Reflect: shadeFocalSpread<Spread::Reflect>(paint, y, x0, count, out); break;
  }
}

// Texel coordinates of a bitmap, wrapped or held at the edge.
struct TexelAxis {
  int size;
  bool repeat;
  int wrap(int64_t at) const {
    if (static_cast<uint64_t>(at) < static_cast<uint64_t>(size)) return static_cast<int>(at);
    if (!repeat) return at < 0 ? 0 : size - 1;
    int64_t wrapped = at % size;
    return static_cast<int>(wrapped < 0 ? wrapped + size : wrapped);
  }
};

// Channels 0 and 2 (or 1 and 3) of a pixel in the low halves of two 32-bit lanes.
uint64_t evenChannels(uint32_t c) { return (c & 0xFF) | (static_cast<uint64_t>(c & 0xFF0000) << 16); }
uint64_t oddChannels(uint32_t c) { return evenChannels(c >> 8); }

// Bilinear mix of four texels with weights 0..255 in 1/256, rounded as channel-by-channel maths
// would: two channels per 64-bit product, each lane below 2^24.
uint32_t mixTexels(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t wx, uint32_t wy) {
  auto mix = [&](uint64_t (*lanes)(uint32_t)) {
    uint64_t top = lanes(c00) * (256 - wx) + lanes(c10) * wx;
    uint64_t bottom = lanes(c01) * (256 - wx) + lanes(c11) * wx;
    uint64_t sum = (top * (256 - wy) + bottom * wy + 0x0000800000008000ull) >> 16;
    return static_cast<uint32_t>((sum & 0xFF) | ((sum >> 16) & 0xFF0000));
  };
  return mix(evenChannels) | (mix(oddChannels) << 8);
}

uint32_t sampleBitmapAt(const Paint& paint, double u, double v) {
  const Bitmap& image = *paint.bitmap;
  TexelAxis xs{image.width, paint.repeat}, ys{image.height, paint.repeat};
  constexpr double kLimit = 1e9;
  u = std::clamp(u == u ? u : 0, -kLimit, kLimit);
  v = std::clamp(v == v ? v : 0, -kLimit, kLimit);
  if (!paint.smooth) {
    return image.at(xs.wrap(static_cast<int64_t>(floorOf(u))), ys.wrap(static_cast<int64_t>(floorOf(v))));
  }
  u -= 0.5;
  v -= 0.5;
  double fu = floorOf(u), fv = floorOf(v);
  int64_t x = static_cast<int64_t>(fu), y = static_cast<int64_t>(fv);
  uint32_t wx = static_cast<uint32_t>((u - fu) * 256), wy = static_cast<uint32_t>((v - fv) * 256);
  int x0 = xs.wrap(x), x1 = xs.wrap(x + 1), y0 = ys.wrap(y), y1 = ys.wrap(y + 1);
  return mixTexels(image.at(x0, y0), image.at(x1, y0), image.at(x0, y1), image.at(x1, y1), wx, wy);
}

void shadeBitmap(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  const Matrix& m = paint.fromPixels;
  const Bitmap& image = *paint.bitmap;
  double px = x0 + 0.5, py = y + 0.5;
  double u = m.a * px + m.c * py + m.tx, v = m.b * px + m.d * py + m.ty;
  double centre = paint.smooth ? 0.5 : 0;
  int64_t fu = 0, fv = 0, du = 0, dv = 0;
  if (!toFixed(u - centre, m.a, count, fu, du) || !toFixed(v - centre, m.b, count, fv, dv)) {
    for (int i = 0; i < count; ++i) {
      out[i] = sampleBitmapAt(paint, m.a * (px + i) + m.c * py + m.tx, m.b * (px + i) + m.d * py + m.ty);
    }
  } else {
    TexelAxis xs{image.width, paint.repeat}, ys{image.height, paint.repeat};
    const uint32_t* pixels = image.pixels.data();
    size_t stride = static_cast<size_t>(image.width);
    for (int i = 0; i < count; ++i, fu += du, fv += dv) {
      int64_t x = fu >> 32, yy = fv >> 32;
      if (!paint.smooth) {
        out[i] = pixels[ys.wrap(yy) * stride + xs.wrap(x)];
        continue;
      }
      uint32_t wx = static_cast<uint32_t>(fu >> 24) & 0xFF, wy = static_cast<uint32_t>(fv >> 24) & 0xFF;
      int tx0 = xs.wrap(x), tx1 = xs.wrap(x + 1);
      const uint32_t* row0 = pixels + ys.wrap(yy) * stride;
      const uint32_t* row1 = pixels + ys.wrap(yy + 1) * stride;
      out[i] = mixTexels(row0[tx0], row0[tx1], row1[tx0], row1[tx1], wx, wy);
    }
  }
  if (paint.bitmapTransform.isIdentity()) return;
  for (int i = 0; i < count; ++i) out[i] = premultiply(paint.bitmapTransform.apply(unpremultiply(out[i])));
}

}  // namespace

void shadeSpan(const Paint& paint, int y, int x0, int count, uint32_t* out) {
  switch (paint.kind) {
    case PaintKind::Solid: std::fill(out, out + count, paint.color); break;
    case PaintKind::LinearGradient: shadeLinear(paint, y, x0, count, out); break;
    case PaintKind::RadialGradient: shadeRadial(paint, y, x0, count, out); break;
    case PaintKind::FocalGradient: shadeFocal(paint, y, x0, count, out); break;
    case PaintKind::Bitmap: shadeBitmap(paint, y, x0, count, out); break;
  }
}

}  // namespace vexil::render
