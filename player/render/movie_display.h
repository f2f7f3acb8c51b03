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
#include "player/swf/clip_host.h"
#include "player/swf/movie_player.h"

namespace vexil::render {

struct RenderOptions {
  int32_t scaleMode = 0;  // swf::ScaleMode
  int32_t alignMode = 0;  // swf alignment bits
  bool antiAlias = true;  // false for the movie's low quality
  std::optional<uint32_t> background;  // 0xRRGGBB instead of the movie's own
  std::optional<uint32_t> letterbox;   // 0xRRGGBB outside the movie's frame; the background when unset
};

class MovieDisplay : public swf::ClipHost {
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

  // Runs the frame actions sprites queued on entering frames (and those that running them
  // queues), each with its sprite as target; true when any ran.
  bool runQueuedActions(swf::MoviePlayer& player);

  // swf::ClipHost: the main timeline's sprites by target path.
  void rootFrameEntered(size_t frame) override { followFrame(frame); }
  bool hasClip(std::string_view target) override { return findClip(target) != nullptr; }
  std::optional<size_t> currentFrame(std::string_view target) override;
  std::optional<size_t> totalFrames(std::string_view target) override;
  void gotoFrame(std::string_view target, size_t frame) override;
  void gotoLabel(std::string_view target, std::string_view label) override;
  void setPlaying(std::string_view target, bool playing) override;

 private:
  SpriteInstance* findClip(std::string_view target);

  explicit MovieDisplay(MovieLibrary library);

  MovieLibrary library_;
  InstanceBudget budget_;
  std::unique_ptr<SpriteInstance> root_;
  Renderer renderer_;
};

}  // namespace vexil::render
