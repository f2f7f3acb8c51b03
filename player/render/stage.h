#pragma once
// A movie being shown by itself: a movie player that runs the main timeline and its actions, and
// the display that follows it. swfrender, the fuzz target, the benchmark and the tests drive a
// movie through this; the control pairs a MovieDisplay with its own player instead.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "player/render/movie_display.h"
#include "player/swf/movie_player.h"

namespace vexil::render {

class Stage {
 public:
  // Reads a movie and enters its first frame; nothing (and error set) when the file is unreadable.
  static std::unique_ptr<Stage> load(std::span<const uint8_t> file, std::string* error = nullptr);

  // One frame interval: sprites advance, then the main timeline (which may run actions). True when
  // what is shown changed.
  bool advance();
  void render(Bitmap& target, int32_t scaleMode = 0, int32_t alignMode = 0, bool antiAlias = true);

  int widthPixels() const { return display_->widthPixels(); }
  int heightPixels() const { return display_->heightPixels(); }
  double frameRate() const { return display_->library().frameRate; }
  const MovieLibrary& library() const { return display_->library(); }
  swf::MoviePlayer& player() { return player_; }

 private:
  Stage() = default;
  swf::MoviePlayer player_;
  std::unique_ptr<MovieDisplay> display_;
};

}  // namespace vexil::render
