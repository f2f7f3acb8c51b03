#include "player/render/paint.h"

#include <algorithm>
#include <cmath>

namespace vexil::render {
namespace {

constexpr double kGradientHalf = 16384.0;

double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double fromLinear(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

uint32_t channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// Blends premultiplied src, scaled by coverage, over dst.
inline uint32_t blendOver(uint32_t dst, uint32_t src, uint32_t coverage) {
  if (coverage != 255) {
    src = (mulDiv255(src >> 24, coverage) << 24) | (mulDiv255(channel(src, 16), coverage) << 16) |
          (mulDiv255(channel(src, 8), coverage) << 8) | mulDiv255(src & 0xFF, coverage);
  }
  uint32_t sa = src >> 24;
  if (sa == 255) return src;
  if (sa == 0 && src == 0) return dst;
  uint32_t inverse = 255 - sa;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t value = std::min<uint32_t>(255, channel(src, shift) + mulDiv255(channel(dst, shift), inverse));
    out |= value << shift;
  }
  return out;
}

// Maps a gradient position (0..1 across the ramp) to a ramp index under the spread mode.
inline int rampIndex(double t, Spread spread) {
  if (!(t == t)) t = 0;
  switch (spread) {
    case Spread::Pad: break;
    case Spread::Repeat: t -= std::floor(t); break;
    case Spread::Reflect: {
      double period = t - 2 * std::floor(t / 2);
      t = period > 1 ? 2 - period : period;
      break;
    }
  }
  return static_cast<int>(std::clamp(t * 256, 0.0, 255.0));
}

uint32_t sampleBitmap(const Paint& paint, double u, double v) {
  const Bitmap& image = *paint.bitmap;
  auto texel = [&](int x, int y) -> uint32_t {
    if (paint.repeat) {
      x %= image.width;
      y %= image.height;
      if (x < 0) x += image.width;
      if (y < 0) y += image.height;
    } else {
      x = std::clamp(x, 0, image.width - 1);
      y = std::clamp(y, 0, image.height - 1);
    }
    return image.at(x, y);
  };
  constexpr double kLimit = 1e9;
  u = std::clamp(u == u ? u : 0, -kLimit, kLimit);
  v = std::clamp(v == v ? v : 0, -kLimit, kLimit);
  if (!paint.smooth) return texel(static_cast<int>(std::floor(u)), static_cast<int>(std::floor(v)));
  u -= 0.5;
  v -= 0.5;
  double fu = std::floor(u), fv = std::floor(v);
  int x = static_cast<int>(fu), y = static_cast<int>(fv);
  uint32_t wx = static_cast<uint32_t>((u - fu) * 256), wy = static_cast<uint32_t>((v - fv) * 256);
  uint32_t c00 = texel(x, y), c10 = texel(x + 1, y), c01 = texel(x, y + 1), c11 = texel(x + 1, y + 1);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t top = channel(c00, shift) * (256 - wx) + channel(c10, shift) * wx;
    uint32_t bottom = channel(c01, shift) * (256 - wx) + channel(c11, shift) * wx;
    out |= ((top * (256 - wy) + bottom * wy + 32768) >> 16) << shift;
  }
  return out;
}

}  // namespace

uint32_t unpremultiply(uint32_t argb) {
  uint32_t alpha = argb >> 24;
  if (alpha == 255 || alpha == 0) return alpha == 0 ? 0 : argb;
  auto un = [&](int shift) { return std::min<uint32_t>(255, (channel(argb, shift) * 255 + alpha / 2) / alpha); };
  return (alpha << 24) | (un(16) << 16) | (un(8) << 8) | un(0);
}

void buildRamp(Paint& paint, const std::vector<GradientStop>& stops, const ColorTransform& transform, bool linearRgb) {
  if (stops.empty()) {
    paint.ramp.fill(0);
    return;
  }
  const int shifts[4] = {24, 16, 8, 0};
  auto component = [&](const GradientStop& stop, int i) {
    double value = channel(transform.apply(stop.color), shifts[i]) / 255.0;
    return linearRgb && i > 0 ? toLinear(value) : value;
  };
  size_t next = 0;
  for (int index = 0; index < 256; ++index) {
    while (next < stops.size() && stops[next].ratio < index) ++next;
    const GradientStop& high = stops[std::min(next, stops.size() - 1)];
    const GradientStop& low = stops[next == 0 ? 0 : next - 1];
    double span = high.ratio - low.ratio;
    double t = span > 0 ? std::clamp((index - low.ratio) / span, 0.0, 1.0) : 1.0;
    uint32_t argb = 0;
    for (int i = 0; i < 4; ++i) {
      double value = component(low, i) * (1 - t) + component(high, i) * t;
      if (linearRgb && i > 0) value = fromLinear(value);
      argb |= static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255)) << shifts[i];
    }
    paint.ramp[index] = premultiply(argb);
  }
}

void PaintSink::shade(int y, int x0, int count, uint32_t* out) const {
  const Paint& p = paint_;
  const Matrix& m = p.fromPixels;
  double py = y + 0.5;
  for (int i = 0; i < count; ++i) {
    double px = x0 + i + 0.5;
    double gx = m.a * px + m.c * py + m.tx, gy = m.b * px + m.d * py + m.ty;
    switch (p.kind) {
      case PaintKind::Solid: out[i] = p.color; break;
      case PaintKind::LinearGradient:
        out[i] = p.ramp[rampIndex((gx + kGradientHalf) / (2 * kGradientHalf), p.spread)];
        break;
      case PaintKind::RadialGradient:
        out[i] = p.ramp[rampIndex(std::sqrt(gx * gx + gy * gy) / kGradientHalf, p.spread)];
        break;
      case PaintKind::FocalGradient: {
        // The ray from the focal point through the pixel meets the unit circle at distance 1/t.
        double dx = gx / kGradientHalf - p.focal, dy = gy / kGradientHalf;
        double dd = dx * dx + dy * dy, fd = p.focal * dx;
        double s = dd > 0 ? (-fd + std::sqrt(std::max(0.0, fd * fd - dd * (p.focal * p.focal - 1)))) / dd : 0;
        out[i] = p.ramp[rampIndex(s > 0 ? 1 / s : 0, p.spread)];
        break;
      }
      case PaintKind::Bitmap: {
        uint32_t texel = sampleBitmap(p, gx, gy);
        if (!p.bitmapTransform.isIdentity()) texel = premultiply(p.bitmapTransform.apply(unpremultiply(texel)));
        out[i] = texel;
        break;
      }
    }
  }
}

void PaintSink::row(int y, int x0, int x1, const uint8_t* alpha) {
  int count = x1 - x0;
  uint32_t* dst = target_.row(y) + x0;
  const uint8_t* mask = mask_ ? mask_->data() + static_cast<size_t>(y) * target_.width + x0 : nullptr;
  if (paint_.kind == PaintKind::Solid) {
    for (int i = 0; i < count; ++i) {
      uint32_t coverage = mask ? mulDiv255(alpha[i], mask[i]) : alpha[i];
      if (coverage) dst[i] = blendOver(dst[i], paint_.color, coverage);
    }
    return;
  }
  colors_.resize(count);
  shade(y, x0, count, colors_.data());
  for (int i = 0; i < count; ++i) {
    uint32_t coverage = mask ? mulDiv255(alpha[i], mask[i]) : alpha[i];
    if (coverage) dst[i] = blendOver(dst[i], colors_[i], coverage);
  }
}

void MaskSink::row(int y, int x0, int x1, const uint8_t* alpha) {
  uint8_t* dst = mask_.data() + static_cast<size_t>(y) * width_;
  for (int x = x0; x < x1; ++x) {
    uint32_t a = alpha[x - x0];
    dst[x] = static_cast<uint8_t>(a + mulDiv255(dst[x], 255 - a));
  }
}

}  // namespace vexil::render
