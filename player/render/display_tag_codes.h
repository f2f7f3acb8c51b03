#pragma once
// The tag codes the renderer reads, beside the movie model's own (player/swf/tag_codes.h).
#include <cstdint>

namespace vexil::render {

enum class DisplayTag : uint16_t {
  End = 0,
  ShowFrame = 1,
  DefineShape = 2,
  PlaceObject = 4,
  RemoveObject = 5,
  DefineBits = 6,
  DefineButton = 7,
  JpegTables = 8,
  SetBackgroundColor = 9,
  DefineFont = 10,
  DefineText = 11,
  DoAction = 12,
  DefineBitsLossless = 20,
  DefineBitsJpeg2 = 21,
  DefineShape2 = 22,
  PlaceObject2 = 26,
  RemoveObject2 = 28,
  DefineShape3 = 32,
  DefineText2 = 33,
  DefineButton2 = 34,
  DefineBitsJpeg3 = 35,
  DefineBitsLossless2 = 36,
  DefineSprite = 39,
  FrameLabel = 43,
  DefineMorphShape = 46,
  DefineFont2 = 48,
  PlaceObject3 = 70,
  DefineFont3 = 75,
  DefineShape4 = 83,
  DefineMorphShape2 = 84,
};

}  // namespace vexil::render
