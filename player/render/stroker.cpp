#include "player/render/stroker.h"

#include <array>
#include <cmath>

namespace vexil::render {
namespace {

constexpr int kCirclePoints = 64;

// The unit circle by repeated rotation with fixed constants: only + and * are used, so every
// platform computes the same table.
const std::array<Point, kCirclePoints>& unitCircle() {
  static const std::array<Point, kCirclePoints> table = [] {
    std::array<Point, kCirclePoints> points{};
    const double c = 0.99518472667219688624, s = 0.09801714032956060199;  // cos and sin of 2pi/64
    Point p{1, 0};
    for (Point& out : points) {
      out = p;
      p = {p.x * c - p.y * s, p.x * s + p.y * c};
    }
    return points;
  }();
  return table;
}

void addPolygon(Rasterizer& raster, const Point* points, size_t count) {
  double area = 0;
  for (size_t i = 0; i < count; ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % count];
    area += p.x * q.y - q.x * p.y;
  }
  for (size_t i = 0; i < count; ++i) {
    size_t from = area >= 0 ? i : count - 1 - i, to = area >= 0 ? (i + 1) % count : (2 * count - 2 - i) % count;
    raster.addLine(points[from], points[to]);
  }
}

void addCircle(Rasterizer& raster, Point centre, double radius) {
  int step = radius < 2 ? 8 : radius < 8 ? 4 : radius < 32 ? 2 : 1;
  std::array<Point, kCirclePoints> points;
  size_t count = 0;
  for (int i = 0; i < kCirclePoints; i += step) {
    points[count++] = {centre.x + unitCircle()[i].x * radius, centre.y + unitCircle()[i].y * radius};
  }
  addPolygon(raster, points.data(), count);
}

Point normalOf(Point from, Point to, double halfWidth) {
  double dx = to.x - from.x, dy = to.y - from.y;
  double length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0)) return {0, 0};
  return {-dy / length * halfWidth, dx / length * halfWidth};
}

void addCap(Rasterizer& raster, Point end, Point outward, CapStyle cap, double halfWidth) {
  if (cap == CapStyle::Round) {
    addCircle(raster, end, halfWidth);
  } else if (cap == CapStyle::Square) {
    double length = std::sqrt(outward.x * outward.x + outward.y * outward.y);
    if (!(length > 0)) return;
    Point d{outward.x / length * halfWidth, outward.y / length * halfWidth};
    Point n{-d.y, d.x};
    Point quad[4] = {{end.x + n.x, end.y + n.y}, {end.x + n.x + d.x, end.y + n.y + d.y},
                     {end.x - n.x + d.x, end.y - n.y + d.y}, {end.x - n.x, end.y - n.y}};
    addPolygon(raster, quad, 4);
  }
}

void addJoin(Rasterizer& raster, Point before, Point at, Point after, const StrokeStyle& style, JoinStyle join,
             double halfWidth) {
  if (join == JoinStyle::Round) {
    addCircle(raster, at, halfWidth);
    return;
  }
  Point n1 = normalOf(before, at, halfWidth), n2 = normalOf(at, after, halfWidth);
  // The outer side is the one the path turns away from.
  double side = n1.x * (after.x - at.x) + n1.y * (after.y - at.y) <= 0 ? 1 : -1;
  Point a{at.x + side * n1.x, at.y + side * n1.y}, b{at.x + side * n2.x, at.y + side * n2.y};
  Point u{n1.x + n2.x, n1.y + n2.y};
  double u2 = u.x * u.x + u.y * u.y;
  if (join == JoinStyle::Miter && u2 > 0 && 2 * halfWidth / std::sqrt(u2) <= style.miterLimit) {
    double k = 2 * halfWidth * halfWidth / u2;
    Point tip{at.x + side * u.x * k, at.y + side * u.y * k};
    Point quad[4] = {at, a, tip, b};
    addPolygon(raster, quad, 4);
    return;
  }
  Point triangle[3] = {at, a, b};
  addPolygon(raster, triangle, 3);
}

// A turn of less than about 25 degrees: a bevel there differs from a round join by less than a
// twentieth of the half width.
bool isSlightTurn(Point before, Point at, Point after) {
  double ax = at.x - before.x, ay = at.y - before.y, bx = after.x - at.x, by = after.y - at.y;
  double dot = ax * bx + ay * by;
  return dot > 0 && dot * dot >= 0.82 * (ax * ax + ay * ay) * (bx * bx + by * by);
}

}  // namespace

void strokePolyline(Rasterizer& raster, const std::vector<Point>& points, const StrokeStyle& style,
                    const std::vector<bool>* withinCurve) {
  if (points.size() < 2) return;
  double halfWidth = std::max(style.width, 1.0) / 2;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    Point p = points[i], q = points[i + 1];
    Point n = normalOf(p, q, halfWidth);
    if (n.x == 0 && n.y == 0) continue;
    Point quad[4] = {{p.x + n.x, p.y + n.y}, {q.x + n.x, q.y + n.y}, {q.x - n.x, q.y - n.y}, {p.x - n.x, p.y - n.y}};
    addPolygon(raster, quad, 4);
  }
  for (size_t i = 1; i + 1 < points.size(); ++i) {
    bool smooth = withinCurve && i < withinCurve->size() && (*withinCurve)[i] &&
                  isSlightTurn(points[i - 1], points[i], points[i + 1]);
    addJoin(raster, points[i - 1], points[i], points[i + 1], style, smooth ? JoinStyle::Bevel : style.join, halfWidth);
  }
  const Point& first = points.front();
  const Point& last = points.back();
  if (first.x == last.x && first.y == last.y && points.size() > 2) {
    addJoin(raster, points[points.size() - 2], first, points[1], style, style.join, halfWidth);
    return;
  }
  addCap(raster, first, {first.x - points[1].x, first.y - points[1].y}, style.startCap, halfWidth);
  const Point& beforeLast = points[points.size() - 2];
  addCap(raster, last, {last.x - beforeLast.x, last.y - beforeLast.y}, style.endCap, halfWidth);
}

}  // namespace vexil::render
