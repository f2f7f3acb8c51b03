#pragma once
// A running timeline: the objects on its depths, built by replaying its frames' display commands,
// and for each sprite placed on it a timeline of its own that advances with every frame interval.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/render/movie_library.h"

namespace vexil::render {

class SpriteInstance;

// A sprite's frame actions waiting to run: the sprite by its serial number (it may be gone by
// then) and the action block, which lives in the library.
struct QueuedActions {
  uint64_t sprite = 0;
  const std::vector<uint8_t>* code = nullptr;
};

// What the sprite instances of one movie share. Sprites that place themselves twice would
// otherwise double with every level; past the cap further sprites are not created. Sprites
// entering a frame queue its actions here; whoever runs actions takes them.
struct InstanceBudget {
  static constexpr size_t kMaxSprites = 20'000;
  static constexpr size_t kMaxQueuedActions = 10'000;
  size_t live = 0;
  uint64_t nextSerial = 1;
  std::map<uint64_t, SpriteInstance*> bySerial;
  std::vector<QueuedActions> queued;
};

struct DisplayObject {
  uint16_t character = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;  // non-zero: this object masks the depths above it up to this one
  std::string name;
  std::unique_ptr<SpriteInstance> sprite;  // for sprites and buttons
};

class SpriteInstance {
 public:
  // nesting: how many sprites contain this one; past kMaxNesting nothing more is created.
  SpriteInstance(const MovieLibrary& library, const Timeline& timeline, InstanceBudget& budget, int nesting,
                 const SpriteInstance* parent = nullptr);
  ~SpriteInstance();
  SpriteInstance(const SpriteInstance&) = delete;
  SpriteInstance& operator=(const SpriteInstance&) = delete;

  size_t frame() const { return frame_; }
  size_t frameCount() const { return timeline_.frames.size(); }
  // Shows the given frame: forward by replaying the frames in between, backward by rebuilding.
  void gotoFrame(size_t frame);
  // One frame interval: the sprites on it advance first, then its own playhead (looping).
  // True when it or a sprite inside it changed frame.
  bool advance();
  // Only the sprites on it advance (the main timeline's own frame is the movie player's).
  bool advanceChildren();
  bool playing() const { return playing_; }
  void setPlaying(bool playing) { playing_ = playing; }
  const std::map<uint16_t, DisplayObject>& objects() const { return objects_; }
  // The sprite placed here under the (folded) instance name, if any.
  SpriteInstance* child(std::string_view name);
  std::optional<size_t> findLabel(std::string_view label) const;
  // The target path actions know this sprite by: folded instance names from the main timeline
  // down, joined with '/' ("" for the main timeline). Unnamed sprites are "instanceN".
  std::string path() const;
  std::string instanceName() const;
  uint64_t serial() const { return serial_; }
  // Objects in this timeline and every sprite inside it.
  size_t objectCount() const;

 private:
  void applyFrame(size_t frame);
  void apply(const DisplayCommand& command);
  void setCharacter(DisplayObject& object, uint16_t character);
  void queueActions(size_t frame);

  const MovieLibrary& library_;
  const Timeline& timeline_;
  InstanceBudget& budget_;
  int nesting_;
  const SpriteInstance* parent_;
  uint64_t serial_;
  std::string name_;  // folded instance name, set by the parent when placed
  size_t frame_ = 0;
  bool entered_ = false;
  bool playing_ = true;
  std::map<uint16_t, DisplayObject> objects_;
};

}  // namespace vexil::render
