#include "player/render/paint.h"

#include <algorithm>
#include <cmath>

#include "player/render/pixel_blend.h"
#include "player/render/span_shaders.h"

namespace vexil::render {
namespace {

double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double fromLinear(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

uint32_t channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

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

void PaintSink::row(int y, int x0, int x1, const uint8_t* alpha) {
  int count = x1 - x0;
  uint32_t* dst = target_.row(y) + x0;
  const uint8_t* mask = mask_ ? mask_->data() + static_cast<size_t>(y) * target_.width + x0 : nullptr;
  if (paint_.kind == PaintKind::Solid && !mask) {
    uint32_t color = paint_.color;
    for (int i = 0; i < count; ++i) {
      // Inside a shape whole runs are covered: an opaque colour is simply stored there.
      if (alpha[i] == 255 && (color >> 24) == 255) {
        dst[i] = color;
      } else if (alpha[i]) {
        dst[i] = blendOver(dst[i], color, alpha[i]);
      }
    }
    return;
  }
  if (colors_.size() < static_cast<size_t>(count)) colors_.resize(count);
  uint32_t* colors = colors_.data();
  // Only the covered stretches are shaded: a thin outline can span the whole row.
  for (int i = 0; i < count;) {
    if (!alpha[i] || (mask && !mask[i])) {
      ++i;
      continue;
    }
    int end = i + 1;
    while (end < count && alpha[end] && (!mask || mask[end])) ++end;
    if (paint_.kind == PaintKind::Solid) {
      std::fill(colors + i, colors + end, paint_.color);
    } else {
      shadeSpan(paint_, y, x0 + i, end - i, colors + i);
    }
    for (; i < end; ++i) dst[i] = blendOver(dst[i], colors[i], mask ? mulDiv255(alpha[i], mask[i]) : alpha[i]);
  }
}

void MaskSink::row(int y, int x0, int x1, const uint8_t* alpha) {
  uint8_t* dst = mask_.coverage.data() + static_cast<size_t>(y) * width_;
  if (fresh_) {
    std::copy(alpha, alpha + (x1 - x0), dst + x0);  // nothing drawn into this layer yet
  } else {
    for (int x = x0; x < x1; ++x) {
      uint32_t a = alpha[x - x0];
      dst[x] = a == 255 ? uint8_t{255} : static_cast<uint8_t>(a + mulDiv255(dst[x], 255 - a));
    }
  }
  PixelBox& box = mask_.box;
  if (box.empty()) {
    box = {x0, y, x1, y + 1};
    return;
  }
  box = {std::min(box.left, x0), std::min(box.top, y), std::max(box.right, x1), std::max(box.bottom, y + 1)};
}

}  // namespace vexil::render
