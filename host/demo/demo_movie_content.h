#pragma once
// The demo package's movie: an animated vector scene (a gradient sky and sun, a turning bitmap
// tile, a star sprite crossing the stage) whose first frame greets the host through FSCommand and
// whose last frame loops back past the greeting. Portable: the render benchmark draws it too.
#include <cstdint>
#include <vector>

namespace vexil::demo {

inline constexpr int kDemoFrames = 48;

std::vector<uint8_t> makeDemoMovie();

}  // namespace vexil::demo
