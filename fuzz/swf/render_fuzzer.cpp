// The whole path from movie bytes to pixels: reading the library, placing, advancing sprites and
// the main timeline, and drawing at a small size both smoothed and hard-edged.
#include <cstddef>
#include <cstdint>

#include "player/render/stage.h"

using namespace vexil::render;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stage = Stage::load({data, size});
  if (!stage) return 0;
  Bitmap frame(96, 72);
  stage->render(frame, 0, 0, true);
  for (int tick = 0; tick < 3; ++tick) stage->advance();
  stage->render(frame, 2, 0, false);
  return 0;
}
