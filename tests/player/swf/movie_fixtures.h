#pragma once
// Small generated movies for the player tests.
#include <initializer_list>
#include <vector>

#include "player/swf/action_builder.h"
#include "player/swf/swf_reader.h"
#include "player/swf/swf_writer.h"

namespace vexil::swf::testing {

inline Movie readOrFail(const std::vector<uint8_t>& bytes) {
  ReadResult result = readMovie(bytes);
  if (!result.ok()) throw std::runtime_error("fixture did not read: " + result.error);
  return std::move(*result.movie);
}

// A movie whose frames carry one action block each (an empty builder means no block).
inline Movie movieWithActions(std::initializer_list<ActionBuilder> frames, uint8_t version = 6) {
  MovieOutline outline;
  outline.version = version;
  for (const ActionBuilder& actions : frames) {
    FrameSpec frame;
    if (actions.size() > 0) frame.actions.push_back(actions.bytes());
    outline.frames.push_back(frame);
  }
  return readOrFail(writeMovie(outline));
}

inline ActionBuilder actions(uint8_t version = 6) { return ActionBuilder(version); }

}  // namespace vexil::swf::testing
