#pragma once
// The portable core of the player control: one loaded movie, its main timeline, its variables and
// the interpreter that runs its frame actions. The control wraps it in COM and a window; swfinfo and
// the tests drive it directly. FSCommands are queued, never called back from inside the
// interpreter, so a host that reacts by calling the player again never re-enters a running block.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "player/swf/action_interpreter.h"
#include "player/swf/clip_host.h"
#include "player/swf/clip_properties.h"
#include "player/swf/movie.h"
#include "player/swf/variable_store.h"

namespace vexil::swf {

struct FsCommandEvent {
  std::string command;
  std::string argument;
  size_t frame = 0;  // zero-based frame whose actions sent it
};

// Version reported by the stand-in player, as $version and the FlashVersion integer.
inline constexpr int kPlayerMajorVersion = 8;
inline constexpr int kPlayerMinorVersion = 0;
inline constexpr std::string_view kPlayerVersionText = "WIN 8,0,0,0";

class MoviePlayer : private ActionEnvironment {
 public:
  // Goto actions that land on a frame whose actions goto again are followed this many times.
  static constexpr unsigned kMaxGotoChain = 64;

  enum class Start { Playing, Paused };
  // Loads a movie. Playing enters its first frame (its actions run) and plays unless they stop it;
  // Paused leaves the first frame not yet entered, for callers that walk frames themselves.
  void load(Movie movie, std::string url = {}, Start start = Start::Playing);
  void unload();
  bool hasMovie() const { return movie_.has_value(); }
  const Movie* movie() const { return movie_ ? &*movie_ : nullptr; }
  const std::string& url() const { return url_; }

  size_t totalFrames() const { return movie_ ? movie_->frames.size() : 0; }
  size_t currentFrame() const { return current_; }
  bool playing() const { return playing_; }
  void setPlaying(bool playing) { playing_ = playing && hasMovie(); }
  bool loop() const { return loop_; }
  void setLoop(bool loop) { loop_ = loop; }

  // One frame interval passed: advance if playing, wrap when looping, else stop on the last frame.
  void tick();
  bool gotoFrame(size_t frame);  // zero-based; the playing state is kept
  bool gotoLabel(std::string_view label);
  void forward();
  void back();
  void rewind();
  // The label of the current frame or, failing that, of the closest labelled frame before it.
  std::optional<std::string> currentLabel() const;

  bool setVariable(std::string_view path, std::string value);
  std::optional<std::string> getVariable(std::string_view path);

  // The host's target calls. Only the main timeline exists here, so other targets fail.
  bool isKnownTarget(std::string_view target) const;
  std::optional<ActionValue> targetProperty(std::string_view target, int index);
  bool setTargetProperty(std::string_view target, int index, ActionValue value);
  bool callFrame(std::string_view target, size_t frame);
  bool callLabel(std::string_view target, std::string_view label);

  // Bytes of text the movie's variables hold (bounded by VariableStore::kMaxTextBytes).
  size_t variableTextBytes() const { return variables_.textBytes(); }

  std::vector<FsCommandEvent> takeCommands();
  bool hasCommands() const { return !commands_.empty(); }

  // The sprites that actions may address by name; none (the default) leaves only the main
  // timeline. The host must outlive the player or be replaced first.
  void setClipHost(ClipHost* host) { clipHost_ = host; }
  // Runs a sprite's frame actions with the sprite (a resolved target path) as their target, then
  // follows a goto they asked of the main timeline.
  void runClipActions(std::string_view target, std::span<const uint8_t> code, ActionBudget& budget);

  // Runs one frame's actions without following gotos or advancing; reports where a goto asked to
  // go. For callers that walk the timeline themselves (swfinfo).
  std::optional<size_t> runSingleFrame(size_t frame, ActionBudget& budget);

 private:
  void enterFrame(size_t frame);
  void enterFrame(size_t frame, ActionBudget& budget);
  ActionValue clipProperty(std::string_view target, const ClipPropertyInfo& info);
  void stepClip(std::string_view target, int step);
  void runFrameActions(size_t frame, ActionBudget& budget, bool includeInit);
  size_t clampFrame(size_t frame) const { return std::min(frame, totalFrames() - 1); }

  // ActionEnvironment
  uint8_t movieVersion() const override;
  ActionValue getVariable(std::string_view target, std::string_view path) override;
  void setVariable(std::string_view target, std::string_view path, ActionValue value) override;
  ActionValue getProperty(std::string_view target, int index) override;
  void setProperty(std::string_view target, int index, const ActionValue& value) override;
  void gotoFrame(std::string_view target, size_t frame) override;
  void gotoLabel(std::string_view target, std::string_view label) override;
  void nextFrame(std::string_view target) override;
  void previousFrame(std::string_view target) override;
  void setPlaying(std::string_view target, bool playing) override;
  bool frameLoaded(size_t frame) override { return frame < totalFrames(); }
  void fsCommand(std::string command, std::string argument) override;
  void callFrame(std::string_view target, std::string_view frame) override;

  std::optional<Movie> movie_;
  std::string url_;
  size_t current_ = 0;
  bool playing_ = false;
  bool loop_ = true;
  std::optional<size_t> pendingGoto_;
  std::vector<bool> initDone_;
  ActionBudget* budget_ = nullptr;  // of the frame being run
  ClipHost* clipHost_ = nullptr;
  VariableStore variables_;
  std::map<int, ActionValue> rootProperties_;
  std::deque<FsCommandEvent> commands_;
  size_t commandFrame_ = 0;
};

}  // namespace vexil::swf
