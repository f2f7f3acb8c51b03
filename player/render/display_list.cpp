#include "player/render/display_list.h"

#include <algorithm>

#include "platform/text_case.h"

namespace vexil::render {

SpriteInstance::SpriteInstance(const MovieLibrary& library, const Timeline& timeline, InstanceBudget& budget,
                               int nesting, const SpriteInstance* parent)
    : library_(library), timeline_(timeline), budget_(budget), nesting_(nesting), parent_(parent),
      serial_(budget.nextSerial++) {
  ++budget_.live;
  budget_.bySerial[serial_] = this;
}

SpriteInstance::~SpriteInstance() {
  objects_.clear();
  budget_.bySerial.erase(serial_);
  --budget_.live;
}

std::string SpriteInstance::instanceName() const {
  return name_.empty() ? "instance" + std::to_string(serial_) : name_;
}

std::string SpriteInstance::path() const {
  if (!parent_) return {};
  std::string above = parent_->path();
  return above.empty() ? instanceName() : above + "/" + instanceName();
}

SpriteInstance* SpriteInstance::child(std::string_view name) {
  for (auto& [depth, object] : objects_) {
    if (object.sprite && object.sprite->instanceName() == name) return object.sprite.get();
  }
  return nullptr;
}

std::optional<size_t> SpriteInstance::findLabel(std::string_view label) const {
  std::string wanted = platform::asciiLowered(label);
  for (const auto& [name, frame] : timeline_.labels) {
    if (platform::asciiLowered(name) == wanted) return std::min(frame, frameCount() - 1);
  }
  return std::nullopt;
}

void SpriteInstance::queueActions(size_t frame) {
  if (frame >= timeline_.actions.size()) return;
  for (const auto& block : timeline_.actions[frame]) {
    if (budget_.queued.size() >= InstanceBudget::kMaxQueuedActions) return;
    budget_.queued.push_back({serial_, &block});
  }
}

void SpriteInstance::gotoFrame(size_t frame) {
  if (frameCount() == 0) return;
  frame = std::min(frame, frameCount() - 1);
  if (entered_ && frame == frame_) return;
  size_t from = frame_ + 1;
  if (!entered_ || frame < frame_) {
    objects_.clear();
    from = 0;
  }
  entered_ = true;
  for (size_t f = from; f <= frame; ++f) applyFrame(f);
  frame_ = frame;
  // Frames passed over on the way show their changes but run no actions.
  queueActions(frame);
}

bool SpriteInstance::advance() {
  bool changed = advanceChildren();
  if (!entered_) {
    gotoFrame(0);
    return true;
  }
  if (playing_ && frameCount() > 1) {
    gotoFrame(frame_ + 1 < frameCount() ? frame_ + 1 : 0);
    return true;
  }
  return changed;
}

bool SpriteInstance::advanceChildren() {
  bool changed = false;
  for (auto& [depth, object] : objects_) {
    if (object.sprite) changed = object.sprite->advance() || changed;
  }
  return changed;
}

size_t SpriteInstance::objectCount() const {
  size_t count = objects_.size();
  for (const auto& [depth, object] : objects_) {
    if (object.sprite) count += object.sprite->objectCount();
  }
  return count;
}

void SpriteInstance::applyFrame(size_t frame) {
  for (const DisplayCommand& command : timeline_.frames[frame]) apply(command);
}

void SpriteInstance::setCharacter(DisplayObject& object, uint16_t character) {
  object.character = character;
  object.sprite.reset();
  const Character* found = library_.find(character);
  auto* timeline = found ? std::get_if<std::shared_ptr<Timeline>>(found) : nullptr;
  if (timeline && nesting_ + 1 < kMaxNesting && budget_.live < InstanceBudget::kMaxSprites) {
    object.sprite = std::make_unique<SpriteInstance>(library_, **timeline, budget_, nesting_ + 1, this);
    object.sprite->gotoFrame(0);
  }
}

void SpriteInstance::apply(const DisplayCommand& command) {
  if (command.remove) {
    objects_.erase(command.depth);
    return;
  }
  auto existing = objects_.find(command.depth);
  DisplayObject* object = nullptr;
  if (command.move && existing != objects_.end()) {
    object = &existing->second;
    if (command.character && *command.character != object->character) setCharacter(*object, *command.character);
  } else if (command.character) {
    object = &(objects_[command.depth] = DisplayObject{});
    setCharacter(*object, *command.character);
  } else {
    return;  // a move of an empty depth
  }
  if (command.matrix) object->matrix = *command.matrix;
  if (command.colorTransform) object->colorTransform = *command.colorTransform;
  if (command.ratio) object->ratio = *command.ratio;
  if (command.name) object->name = *command.name;
  if (object->sprite) object->sprite->name_ = platform::asciiLowered(object->name);
  if (command.clipDepth) object->clipDepth = *command.clipDepth;
}

}  // namespace vexil::render
