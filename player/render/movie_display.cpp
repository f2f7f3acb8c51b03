#include "player/render/movie_display.h"

#include <algorithm>

#include "player/swf/frame_layout.h"

namespace vexil::render {

MovieDisplay::MovieDisplay(MovieLibrary library) : library_(std::move(library)), renderer_(library_) {
  root_ = std::make_unique<SpriteInstance>(library_, library_.root, budget_, 0);
  root_->gotoFrame(0);
}

std::unique_ptr<MovieDisplay> MovieDisplay::load(std::span<const uint8_t> file, std::string* error) {
  auto library = readLibrary(file, error);
  if (!library) return nullptr;
  return std::unique_ptr<MovieDisplay>(new MovieDisplay(std::move(*library)));
}

bool MovieDisplay::followFrame(size_t frame) {
  size_t before = root_->frame();
  root_->gotoFrame(frame);
  return root_->frame() != before;
}

void MovieDisplay::render(Bitmap& target, const RenderOptions& options) {
  uint32_t background = 0xFF000000u | options.background.value_or(library_.background.value_or(0xFFFFFF));
  uint32_t letterbox = options.letterbox ? 0xFF000000u | *options.letterbox : background;
  std::fill(target.pixels.begin(), target.pixels.end(), letterbox);
  if (library_.width <= 0 || library_.height <= 0) return;
  swf::PixelRect frame = swf::frameLayout(std::max(1, widthPixels()), std::max(1, heightPixels()), target.width,
                                          target.height, options.scaleMode, options.alignMode);
  if (letterbox != background) {
    for (int y = std::max(0, frame.top); y < std::min(target.height, frame.bottom); ++y) {
      uint32_t* row = target.row(y);
      std::fill(row + std::clamp(frame.left, 0, target.width), row + std::clamp(frame.right, 0, target.width), background);
    }
  }
  // The layout works in whole pixels; the stage keeps its fractional size in twips.
  double scaleX = (frame.right - frame.left) / (library_.width / 20.0);
  double scaleY = (frame.bottom - frame.top) / (library_.height / 20.0);
  Matrix stage{scaleX / 20, 0, 0, scaleY / 20, frame.left - library_.originX * scaleX / 20,
               frame.top - library_.originY * scaleY / 20};
  renderer_.render(*root_, stage, target, options.antiAlias);
}

SpriteInstance* MovieDisplay::findClip(std::string_view target) {
  SpriteInstance* clip = root_.get();
  while (clip && !target.empty()) {
    size_t slash = target.find('/');
    clip = clip->child(target.substr(0, slash));
    target = slash == std::string_view::npos ? std::string_view{} : target.substr(slash + 1);
  }
  return clip == root_.get() ? nullptr : clip;
}

std::optional<size_t> MovieDisplay::currentFrame(std::string_view target) {
  SpriteInstance* clip = findClip(target);
  return clip ? std::optional<size_t>(clip->frame()) : std::nullopt;
}

std::optional<size_t> MovieDisplay::totalFrames(std::string_view target) {
  SpriteInstance* clip = findClip(target);
  return clip ? std::optional<size_t>(clip->frameCount()) : std::nullopt;
}

void MovieDisplay::gotoFrame(std::string_view target, size_t frame) {
  if (SpriteInstance* clip = findClip(target)) clip->gotoFrame(frame);
}

void MovieDisplay::gotoLabel(std::string_view target, std::string_view label) {
  SpriteInstance* clip = findClip(target);
  if (!clip) return;
  if (auto frame = clip->findLabel(label)) clip->gotoFrame(*frame);
}

void MovieDisplay::setPlaying(std::string_view target, bool playing) {
  if (SpriteInstance* clip = findClip(target)) clip->setPlaying(playing);
}

bool MovieDisplay::runQueuedActions(swf::MoviePlayer& player) {
  // Actions that keep sending sprites to frames with more actions share one frame's budget.
  constexpr int kMaxRounds = 64;
  swf::ActionBudget budget;
  bool ran = false;
  for (int round = 0; round < kMaxRounds && !budget_.queued.empty() && !budget.exhausted(); ++round) {
    std::vector<QueuedActions> batch;
    batch.swap(budget_.queued);
    for (const QueuedActions& entry : batch) {
      auto sprite = budget_.bySerial.find(entry.sprite);
      if (sprite == budget_.bySerial.end()) continue;  // removed before its actions ran
      player.runClipActions(sprite->second->path(), *entry.code, budget);
      ran = true;
    }
  }
  budget_.queued.clear();
  return ran;
}

}  // namespace vexil::render
