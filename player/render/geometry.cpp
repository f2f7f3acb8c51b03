#include "player/render/geometry.h"

#include <algorithm>
#include <cmath>

namespace vexil::render {

Matrix Matrix::operator*(const Matrix& m) const {
  return {a * m.a + c * m.b, b * m.a + d * m.b, a * m.c + c * m.d,
          b * m.c + d * m.d, a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty};
}

Matrix Matrix::inverted() const {
  double det = determinant();
  if (!(std::fabs(det) > 1e-12) || !std::isfinite(det)) return {0, 0, 0, 0, 0, 0};
  double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
  return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
}

double Matrix::meanScale() const {
  double sx = std::sqrt(a * a + b * b), sy = std::sqrt(c * c + d * d);
  return (sx + sy) / 2;
}

bool ColorTransform::isIdentity() const {
  for (int i = 0; i < 4; ++i) {
    if (mult[i] != 256 || add[i] != 0) return false;
  }
  return true;
}

ColorTransform ColorTransform::operator*(const ColorTransform& inner) const {
  ColorTransform out;
  for (int i = 0; i < 4; ++i) {
    // Clamped so that deep nesting cannot overflow; the results are clamped per pixel anyway.
    out.mult[i] = static_cast<int32_t>(std::clamp<int64_t>(int64_t{mult[i]} * inner.mult[i] / 256, -65536, 65536));
    out.add[i] = static_cast<int32_t>(std::clamp<int64_t>(int64_t{inner.add[i]} * mult[i] / 256 + add[i], -65536, 65536));
  }
  return out;
}

uint32_t ColorTransform::apply(uint32_t argb) const {
  const int shifts[4] = {16, 8, 0, 24};
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    int32_t channel = static_cast<int32_t>((argb >> shifts[i]) & 0xFF);
    int32_t value = std::clamp(channel * mult[i] / 256 + add[i], 0, 255);
    out |= static_cast<uint32_t>(value) << shifts[i];
  }
  return out;
}

uint32_t premultiply(uint32_t argb) {
  uint32_t alpha = argb >> 24;
  if (alpha == 255) return argb;
  uint32_t r = mulDiv255((argb >> 16) & 0xFF, alpha), g = mulDiv255((argb >> 8) & 0xFF, alpha),
           b = mulDiv255(argb & 0xFF, alpha);
  return (alpha << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace vexil::render
