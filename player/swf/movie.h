#pragma once
// The movie model the player runs: header facts, background colour, and per frame its labels and
// action blocks (kept as raw bytes; the interpreter checks them as it runs).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/swf/swf_header.h"

namespace vexil::swf {

struct ActionBlock {
  std::vector<uint8_t> code;
  bool init = false;  // from DoInitAction: runs once, before the frame's other actions
};

struct Frame {
  std::vector<std::string> labels;  // UTF-8
  std::vector<ActionBlock> actions;  // in file order
};

struct Movie {
  SwfHeader header;
  size_t decodedLength = 0;  // bytes actually present after decompression
  std::optional<uint32_t> backgroundColor;  // 0xRRGGBB from the first SetBackgroundColor
  std::vector<Frame> frames;  // never empty

  // Zero-based frame index of a label, compared case-insensitively as the player does.
  std::optional<size_t> findLabel(std::string_view label) const;
};

}  // namespace vexil::swf
