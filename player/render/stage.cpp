#include "player/render/stage.h"

#include "player/swf/swf_reader.h"

namespace vexil::render {

std::unique_ptr<Stage> Stage::load(std::span<const uint8_t> file, std::string* error) {
  swf::ReadResult movie = swf::readMovie(file);
  if (!movie.ok()) {
    if (error) *error = movie.error;
    return nullptr;
  }
  std::unique_ptr<Stage> stage(new Stage);
  stage->display_ = MovieDisplay::load(file, error);
  if (!stage->display_) return nullptr;
  stage->player_.setClipHost(stage->display_.get());
  stage->player_.load(std::move(*movie.movie));
  stage->display_->followFrame(stage->player_.currentFrame());
  stage->display_->runQueuedActions(stage->player_);
  return stage;
}

bool Stage::advance() {
  bool changed = display_->advanceSprites();
  player_.tick();
  changed = display_->followFrame(player_.currentFrame()) || changed;
  return display_->runQueuedActions(player_) || changed;
}

void Stage::render(Bitmap& target, int32_t scaleMode, int32_t alignMode, bool antiAlias) {
  display_->render(target, {scaleMode, alignMode, antiAlias, {}, {}});
}

}  // namespace vexil::render
