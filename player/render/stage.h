#pragma once
// A movie being shown: its library, the movie player that runs the main timeline and its actions,
// the display list that follows it, and the renderer. The control, swfrender, the fuzz target
// and the benchmark all drive a movie through this.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "player/render/bitmap.h"
#include "player/render/display_list.h"
#include "player/render/movie_library.h"
#include "player/render/renderer.h"
#include "player/swf/frame_layout.h"
#include "player/swf/movie_player.h"

namespace vexil::render {

class Stage {
 public:
  // Reads a movie and enters its first frame; nothing (and error set) when the file is unreadable.
  static std::unique_ptr<Stage> load(std::span<const uint8_t> file, std::string* error = nullptr);

  // One frame interval: sprites advance, then the main timeline (which may run actions).
  void advance();
  // Draws the current frame into target (its size is the window's), laid out as the control does.
  void render(Bitmap& target, int32_t scaleMode = static_cast<int32_t>(swf::ScaleMode::ShowAll),
              int32_t alignMode = 0, bool antiAlias = true);

  int widthPixels() const { return library_.width / 20; }
  int heightPixels() const { return library_.height / 20; }
  double frameRate() const { return library_.frameRate; }
  const MovieLibrary& library() const { return library_; }
  swf::MoviePlayer& player() { return player_; }
  const SpriteInstance& root() const { return *root_; }
  // Bumped whenever the shown frame may have changed, so a window repaints only then.
  uint64_t revision() const { return revision_; }

 private:
  explicit Stage(MovieLibrary library);
  void followPlayer();

  MovieLibrary library_;
  swf::MoviePlayer player_;
  InstanceBudget budget_;
  std::unique_ptr<SpriteInstance> root_;
  Renderer renderer_;
  uint64_t revision_ = 0;
};

}  // namespace vexil::render
