#pragma once
// Placement matrices and colour transforms as movies store them, in the units the renderer uses:
// matrices map twips to twips (or, once the stage transform is folded in, to pixels) and colour
// transforms keep the file's 8.8 multipliers and whole-number offsets so that composing them stays
// exact.
#include <cstdint>

namespace vexil::render {

struct Point {
  double x = 0, y = 0;
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // This matrix applied after inner.
  Matrix operator*(const Matrix& inner) const;
  // The inverse, or nothing useful (all zero) when the matrix squashes the plane to a line.
  Matrix inverted() const;
  double determinant() const { return a * d - b * c; }
  // How much the matrix scales lengths on average; line widths follow it.
  double meanScale() const;
  static Matrix scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Matrix translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
};

// Colour transform: channel' = channel * mult / 256 + add, clamped to 0..255, on straight colour.
struct ColorTransform {
  int32_t mult[4] = {256, 256, 256, 256};  // red, green, blue, alpha
  int32_t add[4] = {0, 0, 0, 0};

  bool isIdentity() const;
  // This transform applied after inner.
  ColorTransform operator*(const ColorTransform& inner) const;
  // Applies to a straight (not premultiplied) 0xAARRGGBB colour.
  uint32_t apply(uint32_t argb) const;
};

// Premultiplies a straight 0xAARRGGBB colour.
uint32_t premultiply(uint32_t argb);

// a * b / 255, rounded, for bytes.
inline uint32_t mulDiv255(uint32_t a, uint32_t b) {
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

}  // namespace vexil::render
