#include "player/render/stage.h"

#include "player/swf/swf_reader.h"

namespace vexil::render {

Stage::Stage(MovieLibrary library) : library_(std::move(library)), renderer_(library_) {
  root_ = std::make_unique<SpriteInstance>(library_, library_.root, budget_, 0);
}

std::unique_ptr<Stage> Stage::load(std::span<const uint8_t> file, std::string* error) {
  swf::ReadResult movie = swf::readMovie(file);
  if (!movie.ok()) {
    if (error) *error = movie.error;
    return nullptr;
  }
  auto library = readLibrary(file, error);
  if (!library) return nullptr;
  std::unique_ptr<Stage> stage(new Stage(std::move(*library)));
  stage->player_.load(std::move(*movie.movie));
  stage->followPlayer();
  return stage;
}

void Stage::followPlayer() {
  root_->gotoFrame(player_.currentFrame());
  ++revision_;
}

void Stage::advance() {
  root_->advanceChildren();
  player_.tick();
  followPlayer();
}

void Stage::render(Bitmap& target, int32_t scaleMode, int32_t alignMode, bool antiAlias) {
  uint32_t background = 0xFF000000u | library_.background.value_or(0xFFFFFF);
  std::fill(target.pixels.begin(), target.pixels.end(), background);
  if (library_.width <= 0 || library_.height <= 0) return;
  // The layout works in whole pixels; the stage keeps its fractional size in twips.
  swf::PixelRect frame = swf::frameLayout(widthPixels(), heightPixels(), target.width, target.height, scaleMode, alignMode);
  double scaleX = (frame.right - frame.left) / (library_.width / 20.0);
  double scaleY = (frame.bottom - frame.top) / (library_.height / 20.0);
  if (widthPixels() == 0 || heightPixels() == 0) scaleX = scaleY = 1;
  Matrix stage{scaleX / 20, 0, 0, scaleY / 20, frame.left - library_.originX * scaleX / 20,
               frame.top - library_.originY * scaleY / 20};
  renderer_.render(*root_, stage, target, antiAlias);
}

}  // namespace vexil::render
