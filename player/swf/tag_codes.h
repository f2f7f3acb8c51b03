#pragma once
// The tag codes the movie model reads; every other tag is skipped by its length.
#include <cstdint>

namespace vexil::swf {

enum class TagCode : uint16_t {
  End = 0,
  ShowFrame = 1,
  DoAction = 12,
  SetBackgroundColor = 9,
  DefineSprite = 39,
  FrameLabel = 43,
  DoInitAction = 59,
};

// A tag header is one u16: the code in the upper ten bits, the length in the lower six, with 63
// meaning that a u32 length follows.
inline constexpr uint16_t kLongTagLength = 0x3F;

}  // namespace vexil::swf
