#pragma once
// Writes small movies: header, background colour, and frames with labels, action blocks and
// display tags made by display_tag_writer.h. Used
// for test fixtures and the demo, so it favours plainness over size (rectangles always use the
// bits they need, nothing else is optimised).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/swf/swf_header.h"

namespace vexil::swf {

struct FrameSpec {
  std::vector<std::string> labels;  // UTF-8
  std::vector<std::vector<uint8_t>> actions;      // DoAction blocks (with their End)
  std::vector<std::vector<uint8_t>> initActions;  // DoInitAction blocks, written first
  std::vector<uint8_t> displayTags;  // whole tags (definitions, placements), written before the rest
};

struct MovieOutline {
  uint8_t version = 6;
  bool compressed = false;
  TwipsRect frameRect{0, 550 * 20, 0, 400 * 20};
  uint16_t frameRate = 12 << 8;  // 8.8 fixed point
  std::optional<uint32_t> backgroundColor;  // 0xRRGGBB
  std::vector<uint8_t> definitions;  // whole tags written before the first frame
  std::vector<FrameSpec> frames;
  std::optional<uint16_t> frameCountOverride;  // to write a header that disagrees with the frames
};

std::vector<uint8_t> writeMovie(const MovieOutline& outline);

}  // namespace vexil::swf
