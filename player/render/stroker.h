#pragma once
// Turns a stroked polyline into filled outlines for the rasteriser: a quadrilateral per segment
// and a cap or join polygon at each point, all turned the same way so that non-zero winding gives
// their union.
#include <vector>

#include "player/render/geometry.h"
#include "player/render/rasterizer.h"
#include "player/render/shape.h"

namespace vexil::render {

struct StrokeStyle {
  double width = 1;  // pixels
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;
};

// points in pixels; a polyline whose ends meet is closed and gets a join there instead of caps.
// Points marked in withinCurve (when given) were made by flattening a curve: the turn there is
// slight, and a bevel closes it as well as the style's join would, for far fewer edges.
void strokePolyline(Rasterizer& raster, const std::vector<Point>& points, const StrokeStyle& style,
                    const std::vector<bool>* withinCurve = nullptr);

}  // namespace vexil::render
