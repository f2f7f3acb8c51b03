#pragma once
// What a movie shows, apart from who runs its main timeline: the library, the display list that
// follows the main timeline's frame, its sprites' own timelines, and the renderer. Stage pairs it
// with a movie player; the control pairs it with the player it already drives.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "player/render/bitmap.h"
#include "player/render/display_list.h"
#include "player/render/movie_library.h"
#include "player/render/renderer.h"

namespace vexil::render {

struct RenderOptions {
  int32_t scaleMode = 0;  // swf::ScaleMode
  int32_t alignMode = 0;  // swf alignment bits
  bool antiAlias = true;  // false for the movie's low quality
  std::optional<uint32_t> background;  // 0xRRGGBB instead of the movie's own
  std::optional<uint32_t> letterbox;   // 0xRRGGBB outside the movie's frame; the background when unset
};

class MovieDisplay {
 public:
  static std::unique_ptr<MovieDisplay> load(std::span<const uint8_t> file, std::string* error = nullptr);

  // Shows the main timeline's (zero-based) frame; true when that changed what is shown.
  bool followFrame(size_t frame);
  // One frame interval for the sprites; true when any of them changed frame.
  bool advanceSprites() { return root_->advanceChildren(); }
  void render(Bitmap& target, const RenderOptions& options);

  int widthPixels() const { return library_.width / 20; }
  int heightPixels() const { return library_.height / 20; }
  const MovieLibrary& library() const { return library_; }
  const SpriteInstance& root() const { return *root_; }

 private:
  explicit MovieDisplay(MovieLibrary library);

  MovieLibrary library_;
  InstanceBudget budget_;
  std::unique_ptr<SpriteInstance> root_;
  Renderer renderer_;
};

}  // namespace vexil::render
