#pragma once
// A running timeline: the objects on its depths, built by replaying its frames' display commands,
// and for each sprite placed on it a timeline of its own that advances with every frame interval.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "player/render/movie_library.h"

namespace vexil::render {

class SpriteInstance;

// Live sprite instances of one movie. Sprites that place themselves twice would otherwise double
// with every level; past the cap further sprites are not created.
struct InstanceBudget {
  static constexpr size_t kMaxSprites = 20'000;
  size_t live = 0;
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
  SpriteInstance(const MovieLibrary& library, const Timeline& timeline, InstanceBudget& budget, int nesting);
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
  // Objects in this timeline and every sprite inside it.
  size_t objectCount() const;

 private:
  void applyFrame(size_t frame);
  void apply(const DisplayCommand& command);
  void setCharacter(DisplayObject& object, uint16_t character);

  const MovieLibrary& library_;
  const Timeline& timeline_;
  InstanceBudget& budget_;
  int nesting_;
  size_t frame_ = 0;
  bool entered_ = false;
  bool playing_ = true;
  std::map<uint16_t, DisplayObject> objects_;
};

}  // namespace vexil::render
