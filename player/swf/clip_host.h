#pragma once
// The sprites of a running movie, as the movie player sees them. The player runs the main
// timeline and every action; where the sprites live (the renderer's display list) is another
// layer, so actions that address a sprite by its target path reach it through this.
#include <cstddef>
#include <optional>
#include <string_view>

namespace vexil::swf {

class ClipHost {
 public:
  virtual ~ClipHost() = default;
  // The main timeline entered a frame and its actions are about to run: the sprites it places
  // must exist by then.
  virtual void rootFrameEntered(size_t frame) = 0;
  // target: a resolved path below the main timeline (folded segments joined with '/').
  virtual bool hasClip(std::string_view target) = 0;
  virtual std::optional<size_t> currentFrame(std::string_view target) = 0;  // zero-based
  virtual std::optional<size_t> totalFrames(std::string_view target) = 0;
  virtual void gotoFrame(std::string_view target, size_t frame) = 0;  // zero-based, clamped
  virtual void gotoLabel(std::string_view target, std::string_view label) = 0;
  virtual void setPlaying(std::string_view target, bool playing) = 0;
};

}  // namespace vexil::swf
