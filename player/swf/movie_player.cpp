#include "player/swf/movie_player.h"

#include <cmath>
#include <utility>

#include "platform/text_case.h"
#include "player/swf/clip_properties.h"
#include "player/swf/movie_text.h"

namespace vexil::swf {
namespace {

// A movie that keeps sending commands nobody collects must not grow without bound.
constexpr size_t kMaxQueuedCommands = 10'000;
constexpr std::string_view kVersionVariable = "$version";

std::string lastSegment(std::string_view target) {
  size_t slash = target.rfind('/');
  return std::string(slash == std::string_view::npos ? target : target.substr(slash + 1));
}

}  // namespace

void MoviePlayer::load(Movie movie, std::string url, Start start) {
  unload();
  if (movie.frames.empty()) movie.frames.resize(1);
  initDone_.assign(movie.frames.size(), false);
  movie_ = std::move(movie);
  url_ = std::move(url);
  if (start == Start::Paused) return;
  playing_ = true;
  enterFrame(0);
}

void MoviePlayer::unload() {
  movie_.reset();
  url_.clear();
  current_ = 0;
  playing_ = false;
  pendingGoto_.reset();
  initDone_.clear();
  variables_.clear();
  rootProperties_.clear();
}

void MoviePlayer::tick() {
  if (!movie_ || !playing_) return;
  if (current_ + 1 < totalFrames()) {
    enterFrame(current_ + 1);
  } else if (loop_ && totalFrames() > 1) {
    enterFrame(0);
  } else if (!loop_) {
    playing_ = false;
  }
}

bool MoviePlayer::gotoFrame(size_t frame) {
  if (!movie_ || frame >= totalFrames()) return false;
  if (frame != current_) enterFrame(frame);
  return true;
}

bool MoviePlayer::gotoLabel(std::string_view label) {
  if (!movie_) return false;
  auto frame = movie_->findLabel(label);
  return frame && gotoFrame(*frame);
}

void MoviePlayer::forward() {
  if (movie_ && current_ + 1 < totalFrames()) enterFrame(current_ + 1);
  playing_ = false;
}

void MoviePlayer::back() {
  if (movie_ && current_ > 0) enterFrame(current_ - 1);
  playing_ = false;
}

void MoviePlayer::rewind() {
  if (movie_ && current_ != 0) enterFrame(0);
}

std::optional<std::string> MoviePlayer::currentLabel() const {
  if (!movie_) return std::nullopt;
  for (size_t frame = current_ + 1; frame-- > 0;) {
    const auto& labels = movie_->frames[frame].labels;
    if (!labels.empty()) return labels.front();
  }
  return std::string();
}

void MoviePlayer::enterFrame(size_t frame) {
  ActionBudget budget;
  enterFrame(frame, budget);
}

void MoviePlayer::enterFrame(size_t frame, ActionBudget& budget) {
  pendingGoto_.reset();
  current_ = frame;
  if (clipHost_) clipHost_->rootFrameEntered(frame);
  runFrameActions(frame, budget, true);
  for (unsigned hops = 0; pendingGoto_ && hops < kMaxGotoChain && !budget.exhausted(); ++hops) {
    current_ = *pendingGoto_;
    pendingGoto_.reset();
    if (clipHost_) clipHost_->rootFrameEntered(current_);
    runFrameActions(current_, budget, true);
  }
  pendingGoto_.reset();
}

void MoviePlayer::runClipActions(std::string_view target, std::span<const uint8_t> code, ActionBudget& budget) {
  if (!movie_ || budget.exhausted()) return;
  ActionBudget* outer = budget_;
  budget_ = &budget;
  pendingGoto_.reset();
  ActionInterpreter(*this, budget, std::string(target)).run(code);
  budget_ = outer;
  if (auto destination = std::exchange(pendingGoto_, std::nullopt)) enterFrame(*destination, budget);
}

std::optional<size_t> MoviePlayer::runSingleFrame(size_t frame, ActionBudget& budget) {
  if (!movie_ || frame >= totalFrames()) return std::nullopt;
  pendingGoto_.reset();
  current_ = frame;
  if (clipHost_) clipHost_->rootFrameEntered(frame);
  runFrameActions(frame, budget, true);
  auto destination = pendingGoto_;
  pendingGoto_.reset();
  return destination;
}

void MoviePlayer::runFrameActions(size_t frame, ActionBudget& budget, bool includeInit) {
  ActionBudget* outer = budget_;
  budget_ = &budget;
  size_t outerFrame = commandFrame_;
  commandFrame_ = frame;
  // Init actions run once, before the frame's own; the frame's own run every time it is entered.
  for (int pass = 0; pass < 2 && movie_; ++pass) {
    for (const ActionBlock& block : movie_->frames[frame].actions) {
      if (block.init != (pass == 0)) continue;
      if (block.init && (!includeInit || initDone_[frame])) continue;
      if (budget.exhausted()) break;
      ActionInterpreter(*this, budget).run(block.code);
    }
    if (pass == 0 && includeInit) initDone_[frame] = true;
  }
  commandFrame_ = outerFrame;
  budget_ = outer;
}

bool MoviePlayer::setVariable(std::string_view path, std::string value) {
  if (!movie_) return false;
  auto ref = resolveVariable("", path);
  if (!ref) return false;
  variables_.set(*ref, ActionValue::fromString(std::move(value)));
  return true;
}

std::optional<std::string> MoviePlayer::getVariable(std::string_view path) {
  if (!movie_) return std::nullopt;
  if (platform::equalsIgnoringAsciiCase(path, kVersionVariable)) return std::string(kPlayerVersionText);
  auto ref = resolveVariable("", path);
  if (!ref) return std::nullopt;
  const ActionValue* value = variables_.find(*ref);
  if (!value) return std::nullopt;
  return toString(*value, movieVersion());
}

bool MoviePlayer::isKnownTarget(std::string_view target) const {
  auto resolved = resolveTarget("", target);
  return movie_ && resolved && resolved->empty();
}

std::optional<ActionValue> MoviePlayer::targetProperty(std::string_view target, int index) {
  if (!isKnownTarget(target) || !findClipProperty(index)) return std::nullopt;
  return getProperty("", index);
}

bool MoviePlayer::setTargetProperty(std::string_view target, int index, ActionValue value) {
  const ClipPropertyInfo* info = findClipProperty(index);
  if (!isKnownTarget(target) || !info || !info->writable) return false;
  setProperty("", index, value);
  return true;
}

bool MoviePlayer::callFrame(std::string_view target, size_t frame) {
  if (!isKnownTarget(target) || frame >= totalFrames()) return false;
  ActionBudget budget;
  pendingGoto_.reset();
  runFrameActions(frame, budget, false);
  if (auto destination = std::exchange(pendingGoto_, std::nullopt)) enterFrame(*destination);
  return true;
}

bool MoviePlayer::callLabel(std::string_view target, std::string_view label) {
  auto frame = movie_ ? movie_->findLabel(label) : std::nullopt;
  return frame && callFrame(target, *frame);
}

std::vector<FsCommandEvent> MoviePlayer::takeCommands() {
  std::vector<FsCommandEvent> taken(std::make_move_iterator(commands_.begin()),
                                    std::make_move_iterator(commands_.end()));
  commands_.clear();
  return taken;
}

// ActionEnvironment

uint8_t MoviePlayer::movieVersion() const { return movie_ ? movie_->header.version : 0; }

ActionValue MoviePlayer::getVariable(std::string_view target, std::string_view path) {
  if (platform::equalsIgnoringAsciiCase(path, kVersionVariable)) return ActionValue::fromString(std::string(kPlayerVersionText));
  auto ref = resolveVariable(target, path);
  const ActionValue* value = ref ? variables_.find(*ref) : nullptr;
  return value ? *value : ActionValue::undefined();
}

void MoviePlayer::setVariable(std::string_view target, std::string_view path, ActionValue value) {
  if (auto ref = resolveVariable(target, path)) variables_.set(*ref, std::move(value));
}

// A sprite's properties that its timeline decides; the rest read as undefined.
ActionValue MoviePlayer::clipProperty(std::string_view target, const ClipPropertyInfo& info) {
  if (!clipHost_ || !clipHost_->hasClip(target)) return ActionValue::undefined();
  auto number = [](size_t value) { return ActionValue::fromNumber(static_cast<double>(value)); };
  switch (info.property) {
    case ClipProperty::CurrentFrame: return number(*clipHost_->currentFrame(target) + 1);
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded: return number(*clipHost_->totalFrames(target));
    case ClipProperty::Target: return ActionValue::fromString(targetDisplayName(target));
    case ClipProperty::Name: return ActionValue::fromString(lastSegment(target));
    default: return ActionValue::undefined();
  }
}

ActionValue MoviePlayer::getProperty(std::string_view target, int index) {
  const ClipPropertyInfo* info = findClipProperty(index);
  if (!info) return ActionValue::undefined();
  if (!target.empty()) return clipProperty(target, *info);
  auto number = [](double value) { return ActionValue::fromNumber(value); };
  const TwipsRect& rect = movie_->header.frameRect;
  switch (info->property) {
    case ClipProperty::CurrentFrame: return number(static_cast<double>(current_ + 1));
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded: return number(static_cast<double>(totalFrames()));
    case ClipProperty::Width: return number((rect.xMax - rect.xMin) / 20.0);
    case ClipProperty::Height: return number((rect.yMax - rect.yMin) / 20.0);
    case ClipProperty::Target: return ActionValue::fromString(targetDisplayName(target));
    case ClipProperty::Url: return ActionValue::fromString(url_);
    default: break;
  }
  if (auto stored = rootProperties_.find(index); stored != rootProperties_.end()) return stored->second;
  if (info->property == ClipProperty::Name) return ActionValue::fromString(lastSegment(target));
  double initial = 0;
  if (parseNumber(std::string(info->initial), initial)) return number(initial);
  return ActionValue::fromString(std::string(info->initial));
}

void MoviePlayer::setProperty(std::string_view target, int index, const ActionValue& value) {
  const ClipPropertyInfo* info = findClipProperty(index);
  if (!info || !info->writable || !target.empty()) return;
  rootProperties_[index] = value;
}

void MoviePlayer::gotoFrame(std::string_view target, size_t frame) {
  if (!target.empty()) {
    if (clipHost_) clipHost_->gotoFrame(target, frame);
    return;
  }
  if (!movie_) return;
  frame = clampFrame(frame);
  // The last goto of a block wins; going to the frame already shown does not rerun it.
  if (frame == current_) {
    pendingGoto_.reset();
  } else {
    pendingGoto_ = frame;
  }
}

void MoviePlayer::gotoLabel(std::string_view target, std::string_view label) {
  if (!target.empty()) {
    if (clipHost_) clipHost_->gotoLabel(target, label);
    return;
  }
  if (!movie_) return;
  if (auto frame = movie_->findLabel(label)) gotoFrame(target, *frame);
}

void MoviePlayer::nextFrame(std::string_view target) {
  if (!target.empty()) {
    stepClip(target, +1);
    return;
  }
  size_t from = pendingGoto_.value_or(current_);
  if (target.empty() && movie_ && from + 1 < totalFrames()) gotoFrame(target, from + 1);
  setPlaying(target, false);
}

void MoviePlayer::previousFrame(std::string_view target) {
  if (!target.empty()) {
    stepClip(target, -1);
    return;
  }
  size_t from = pendingGoto_.value_or(current_);
  if (target.empty() && movie_ && from > 0) gotoFrame(target, from - 1);
  setPlaying(target, false);
}

void MoviePlayer::setPlaying(std::string_view target, bool playing) {
  if (target.empty()) {
    setPlaying(playing);
  } else if (clipHost_) {
    clipHost_->setPlaying(target, playing);
  }
}

// Next and previous frame of a sprite: one step, no wrapping, and the sprite stops.
void MoviePlayer::stepClip(std::string_view target, int step) {
  if (!clipHost_ || !clipHost_->hasClip(target)) return;
  size_t frame = *clipHost_->currentFrame(target);
  if (step > 0 && frame + 1 < *clipHost_->totalFrames(target)) clipHost_->gotoFrame(target, frame + 1);
  if (step < 0 && frame > 0) clipHost_->gotoFrame(target, frame - 1);
  clipHost_->setPlaying(target, false);
}

void MoviePlayer::fsCommand(std::string command, std::string argument) {
  if (commands_.size() >= kMaxQueuedCommands) return;
  commands_.push_back({std::move(command), std::move(argument), commandFrame_});
}

void MoviePlayer::callFrame(std::string_view target, std::string_view frame) {
  if (!target.empty() || !movie_ || !budget_ || budget_->callDepth >= ActionBudget::kMaxCallDepth) return;
  double number = 0;
  std::optional<size_t> index;
  if (parseNumber(std::string(frame), number)) {
    // One-based, like every frame number on the action stack.
    if (number >= 1 && number <= static_cast<double>(totalFrames())) index = static_cast<size_t>(number) - 1;
  } else {
    index = movie_->findLabel(frame);
  }
  if (!index) return;
  ++budget_->callDepth;
  runFrameActions(*index, *budget_, false);
  --budget_->callDepth;
}

}  // namespace vexil::swf
