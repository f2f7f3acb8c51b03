#pragma once
// The colours of a run of pixels on one row for gradient and bitmap paints. A run steps its
// position along the row in 32.32 fixed point where that stays exact enough (linear gradients,
// bitmaps), and falls back to per-pixel doubles for positions too far out to step.
#include <cstdint>

#include "player/render/paint.h"

namespace vexil::render {

// Fills out[0..count) with the premultiplied colours of pixels x0.. of row y.
void shadeSpan(const Paint& paint, int y, int x0, int count, uint32_t* out);

}  // namespace vexil::render
