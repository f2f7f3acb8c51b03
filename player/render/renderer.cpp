#include "player/render/renderer.h"

#include <algorithm>
#include <cmath>

#include "player/render/stroker.h"

namespace vexil::render {
namespace {

void addSegment(Rasterizer& raster, const Segment& segment, const Matrix& matrix) {
  if (segment.curved) {
    raster.addQuad(matrix.apply(segment.from), matrix.apply(segment.control), matrix.apply(segment.to));
  } else {
    raster.addLine(matrix.apply(segment.from), matrix.apply(segment.to));
  }
}

// A curve as points for the stroker, as finely as the rasteriser would flatten it; the points it
// adds inside the curve are marked in withinCurve.
void appendFlattened(std::vector<Point>& points, std::vector<bool>& withinCurve, const Segment& segment,
                     const Matrix& matrix) {
  Point from = matrix.apply(segment.from), control = matrix.apply(segment.control), to = matrix.apply(segment.to);
  if (!segment.curved) {
    points.push_back(to);
    withinCurve.push_back(false);
    return;
  }
  double dx = from.x - 2 * control.x + to.x, dy = from.y - 2 * control.y + to.y;
  double deviation = std::sqrt(dx * dx + dy * dy);
  int steps = deviation == deviation ? static_cast<int>(std::clamp(std::sqrt(deviation * 2), 1.0, 64.0)) : 1;
  for (int i = 1; i <= steps; ++i) {
    double t = static_cast<double>(i) / steps, u = 1 - t;
    points.push_back(i == steps ? to
                                : Point{u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                                        u * u * from.y + 2 * u * t * control.y + t * t * to.y});
    withinCurve.push_back(i != steps);
  }
}

bool isBitmapFill(FillType type) {
  return type == FillType::RepeatingBitmap || type == FillType::ClippedBitmap ||
         type == FillType::RepeatingHardBitmap || type == FillType::ClippedHardBitmap;
}

// A mask drawn inside an outer clip keeps only what the outer clip lets through.
void intersectMasks(MaskLayer& mask, const MaskLayer& outer, int width) {
  const PixelBox& box = mask.box;
  for (int y = box.top; y < box.bottom && !box.empty(); ++y) {
    size_t row = static_cast<size_t>(y) * width;
    for (int x = box.left; x < box.right; ++x) {
      mask.coverage[row + x] = static_cast<uint8_t>(mulDiv255(mask.coverage[row + x], outer.coverage[row + x]));
    }
  }
}

}  // namespace

void Renderer::render(const SpriteInstance& root, const Matrix& stage, Bitmap& target, bool antiAlias) {
  raster_.setAntiAlias(antiAlias);
  if (target.width != width_ || target.height != height_) masks_.clear();
  width_ = target.width;
  height_ = target.height;
  masksInUse_ = 0;
  drawContainer(root, stage, ColorTransform{}, Target{&target, nullptr, nullptr}, 0);
}

MaskLayer& Renderer::acquireMask() {
  if (masksInUse_ == masks_.size()) {
    auto layer = std::make_unique<MaskLayer>();
    layer->coverage.assign(static_cast<size_t>(width_) * height_, 0);
    masks_.push_back(std::move(layer));
  }
  return *masks_[masksInUse_++];
}

void Renderer::releaseMask() {
  MaskLayer& layer = *masks_[--masksInUse_];
  const PixelBox& box = layer.box;
  for (int y = box.top; y < box.bottom && !box.empty(); ++y) {
    uint8_t* row = layer.coverage.data() + static_cast<size_t>(y) * width_;
    std::fill(row + box.left, row + box.right, uint8_t{0});
  }
  layer.box = {};
}

void Renderer::drawContainer(const SpriteInstance& sprite, const Matrix& matrix, const ColorTransform& transform,
                             Target target, int nesting) {
  struct ActiveClip {
    uint16_t lastDepth;
    const MaskLayer* mask;
  };
  std::vector<ActiveClip> clips;
  for (const auto& [depth, object] : sprite.objects()) {
    // A clip whose last depth lies below its own (a backwards clip depth) covers nothing.
    while (!clips.empty() && clips.back().lastDepth < depth) {
      clips.pop_back();
      releaseMask();
    }
    Target here = target;
    if (!clips.empty()) here.clip = clips.back().mask;
    if (object.clipDepth == 0) {
      drawObject(object, matrix, transform, here, nesting);
      continue;
    }
    if (target.mask || object.clipDepth <= depth) continue;  // masks inside masks draw nothing
    MaskLayer& mask = acquireMask();
    drawObject(object, matrix, transform, Target{nullptr, here.clip, &mask}, nesting);
    if (here.clip) intersectMasks(mask, *here.clip, width_);
    clips.push_back({object.clipDepth, &mask});
  }
  for (size_t i = 0; i < clips.size(); ++i) releaseMask();
}

void Renderer::drawObject(const DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentTransform,
                          Target target, int nesting) {
  if (nesting >= kMaxNesting) return;
  Matrix matrix = parentMatrix * object.matrix;
  ColorTransform transform = parentTransform * object.colorTransform;
  const Character* character = library_.find(object.character);
  if (!character) return;
  if (const auto* shape = std::get_if<Shape>(character)) {
    drawShape(*shape, matrix, transform, target);
  } else if (const auto* morph = std::get_if<MorphShape>(character)) {
    drawShape(morphShapeAt(*morph, object.ratio), matrix, transform, target);
  } else if (const auto* text = std::get_if<StaticText>(character)) {
    drawText(*text, matrix, transform, target);
  } else if (object.sprite) {
    drawContainer(*object.sprite, matrix, transform, target, nesting + 1);
  }
}

bool Renderer::makePaint(const FillStyle& style, const Matrix& matrix, const ColorTransform& transform,
                         Paint& paint) const {
  switch (style.type) {
    case FillType::Solid:
      paint.kind = PaintKind::Solid;
      paint.color = premultiply(transform.apply(style.color));
      return (paint.color >> 24) != 0;
    case FillType::LinearGradient:
    case FillType::RadialGradient:
    case FillType::FocalGradient:
      paint.kind = style.type == FillType::LinearGradient   ? PaintKind::LinearGradient
                   : style.type == FillType::RadialGradient ? PaintKind::RadialGradient
                                                            : PaintKind::FocalGradient;
      paint.fromPixels = (matrix * style.matrix).inverted();
      paint.spread = style.spread;
      paint.focal = std::clamp(style.focal, -0.998, 0.998);
      buildRamp(paint, style.stops, transform, style.linearRgb);
      return true;
    default: break;
  }
  if (!isBitmapFill(style.type)) return false;
  auto found = library_.bitmaps.find(style.bitmapId);
  if (found == library_.bitmaps.end()) return false;
  paint.kind = PaintKind::Bitmap;
  paint.bitmap = &found->second;
  paint.fromPixels = (matrix * style.matrix).inverted();
  paint.repeat = style.type == FillType::RepeatingBitmap || style.type == FillType::RepeatingHardBitmap;
  paint.smooth = style.type == FillType::RepeatingBitmap || style.type == FillType::ClippedBitmap;
  paint.bitmapTransform = transform;
  return true;
}

void Renderer::fillRaster(FillRule rule, const Paint& paint, Target target) {
  if (target.clip) {
    // Nothing shows outside the clip layer's box.
    const PixelBox& box = target.clip->box;
    if (box.empty()) return;
    raster_.limitTo(box.left, box.top, box.right, box.bottom);
  }
  if (target.mask) {
    MaskSink sink(*target.mask, width_);
    raster_.fill(rule, sink);
  } else {
    PaintSink sink(*target.color, target.clip ? &target.clip->coverage : nullptr, paint, colors_);
    raster_.fill(rule, sink);
  }
}

void Renderer::drawShape(const Shape& shape, const Matrix& matrix, const ColorTransform& transform, Target target) {
  FillRule rule = shape.nonZero ? FillRule::NonZero : FillRule::EvenOdd;
  Paint paint;
  for (size_t i = 0; i < shape.fills.size(); ++i) {
    const auto& outline = shape.fillOutlines[i];
    if (outline.empty()) continue;
    if (!target.mask && !makePaint(shape.fills[i], matrix, transform, paint)) continue;
    raster_.reset(width_, height_);
    for (const Segment& segment : outline) addSegment(raster_, segment, matrix);
    fillRaster(rule, paint, target);
  }
  for (size_t i = 0; i < shape.lines.size(); ++i) {
    if (!shape.lineEdges[i].empty()) drawLines(shape, i, matrix, transform, target);
  }
}

void Renderer::drawLines(const Shape& shape, size_t index, const Matrix& matrix, const ColorTransform& transform,
                         Target target) {
  const LineStyle& line = shape.lines[index];
  Paint paint;
  if (!target.mask) {
    FillStyle solid;
    solid.color = line.color;
    if (!makePaint(line.hasFill ? line.fill : solid, matrix, transform, paint)) return;
  }
  StrokeStyle stroke;
  // Lines that do not scale keep their width in stage pixels at the movie's own size.
  stroke.width = (line.scaleX && line.scaleY) ? line.width * matrix.meanScale() : line.width / 20.0;
  stroke.startCap = line.startCap;
  stroke.endCap = line.endCap;
  stroke.join = line.join;
  stroke.miterLimit = line.miterLimit;
  raster_.reset(width_, height_);
  const auto& edges = shape.lineEdges[index];
  polyline_.clear();
  withinCurve_.clear();
  for (size_t i = 0; i < edges.size(); ++i) {
    const Segment& segment = edges[i];
    bool continues = i > 0 && edges[i - 1].to.x == segment.from.x && edges[i - 1].to.y == segment.from.y;
    if (!continues) {
      strokePolyline(raster_, polyline_, stroke, &withinCurve_);
      polyline_.clear();
      withinCurve_.clear();
      polyline_.push_back(matrix.apply(segment.from));
      withinCurve_.push_back(false);
    }
    appendFlattened(polyline_, withinCurve_, segment, matrix);
  }
  strokePolyline(raster_, polyline_, stroke, &withinCurve_);
  fillRaster(FillRule::NonZero, paint, target);
}

void Renderer::drawText(const StaticText& text, const Matrix& matrix, const ColorTransform& transform, Target target) {
  Matrix base = matrix * text.matrix;
  for (const GlyphRun& run : text.runs) {
    auto font = library_.fonts.find(run.font);
    if (font == library_.fonts.end()) continue;
    double scale = run.height / font->second.unitsPerEm;
    for (const auto& [glyph, origin] : run.glyphs) {
      if (glyph >= font->second.glyphs.size()) continue;
      Shape shape = font->second.glyphs[glyph];
      if (shape.fills.empty()) continue;
      shape.fills[0].color = run.color;
      Matrix place = base * Matrix{scale, 0, 0, scale, origin.x, origin.y};
      drawShape(shape, place, transform, target);
    }
  }
}

}  // namespace vexil::render
