#pragma once
// Runs one action block (the bytes of a DoAction or DoInitAction) against the player that owns
// it. The bytes are outside input: lying lengths, jumps outside the block and endless loops stop
// the block cleanly (see the step budget) instead of reading past it or hanging.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "player/swf/action_value.h"

namespace vexil::swf {

// What actions can do to the player around them. Targets are resolved paths (see variable_path.h).
class ActionEnvironment {
 public:
  virtual ~ActionEnvironment() = default;
  virtual uint8_t movieVersion() const = 0;
  virtual ActionValue getVariable(std::string_view target, std::string_view path) = 0;
  virtual void setVariable(std::string_view target, std::string_view path, ActionValue value) = 0;
  virtual ActionValue getProperty(std::string_view target, int index) = 0;
  virtual void setProperty(std::string_view target, int index, const ActionValue& value) = 0;
  virtual void gotoFrame(std::string_view target, size_t frame) = 0;  // zero-based
  virtual void gotoLabel(std::string_view target, std::string_view label) = 0;
  virtual void nextFrame(std::string_view target) = 0;
  virtual void previousFrame(std::string_view target) = 0;
  virtual void setPlaying(std::string_view target, bool playing) = 0;
  virtual bool frameLoaded(size_t frame) = 0;
  // "FSCommand:" URLs; any other URL is a load request the stand-in does not follow.
  virtual void fsCommand(std::string command, std::string argument) = 0;
  // The Call action: runs another frame's actions in place (frame text is a number or a label).
  virtual void callFrame(std::string_view target, std::string_view frame) = 0;
};

// Shared by every block run for one frame, so a frame cannot escape the bound by jumping between
// frames or calling frames. A frame's actions stop at whichever comes first: the step count, a
// time a person does not notice, or the bytes of text they have built (a loop that doubles a
// string would otherwise take gigabytes within a few frames and end a 32-bit process).
struct ActionBudget {
  static constexpr uint32_t kStepsPerFrame = 200'000;
  static constexpr uint32_t kMaxCallDepth = 16;
  static constexpr std::chrono::milliseconds kTimePerFrame{50};
  static constexpr uint32_t kStepsBetweenClockChecks = 1024;
  static constexpr size_t kTextBytesPerFrame = 16u << 20;

  uint32_t stepsLeft = kStepsPerFrame;
  uint32_t callDepth = 0;
  size_t textBytesLeft = kTextBytesPerFrame;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kTimePerFrame;

  bool exhausted() const { return stepsLeft == 0; }
  void stop() { stepsLeft = 0; }
  // Counts one step; false once the frame must stop.
  bool step() {
    if (stepsLeft == 0) return false;
    --stepsLeft;
    if (stepsLeft % kStepsBetweenClockChecks == 0 && std::chrono::steady_clock::now() >= deadline) stop();
    return true;
  }
  // Counts text the actions built; false (and the frame stops) past the frame's allowance.
  bool chargeText(size_t bytes) {
    if (bytes > textBytesLeft) {
      textBytesLeft = 0;
      stop();
      return false;
    }
    textBytesLeft -= bytes;
    return true;
  }
};

enum class ActionOutcome { Completed, BadBlock, StepLimit, StackLimit, TextLimit };

class ActionInterpreter {
 public:
  static constexpr size_t kMaxStack = 10'000;
  static constexpr size_t kRegisterCount = 4;

  // target: the clip whose actions these are ("" for the main timeline); plain names and
  // relative target paths start from it.
  ActionInterpreter(ActionEnvironment& environment, ActionBudget& budget, std::string target = {})
      : env_(environment), budget_(budget), version_(environment.movieVersion()), origin_(target),
        target_(std::move(target)) {}

  ActionOutcome run(std::span<const uint8_t> code);

 private:
  struct Record {
    uint8_t code = 0;
    std::span<const uint8_t> payload;
    size_t next = 0;  // offset of the following action
  };

  bool decode(std::span<const uint8_t> code, size_t pc, Record& record) const;
  // Executes one record; may move pc for Jump, If and WaitForFrame. False stops the block.
  bool execute(const Record& record, std::span<const uint8_t> code, size_t& pc);
  bool executeSimple(uint8_t code);
  bool executeWithPayload(const Record& record, std::span<const uint8_t> code, size_t& pc);
  bool executeArithmetic(uint8_t code);
  bool executeStringAction(uint8_t code);
  bool push(const Record& record);
  void readConstantPool(const Record& record);
  void getUrl(const std::string& url, const std::string& target);
  void gotoFrame2(const Record& record);
  bool skipActions(std::span<const uint8_t> code, size_t& pc, unsigned count) const;

  ActionValue pop();
  void pushValue(ActionValue value);
  double popNumber() { return toNumber(pop(), version_); }
  std::string popString() { return toString(pop(), version_); }
  std::string payloadText(std::span<const uint8_t> payload, size_t& pos) const;

  ActionEnvironment& env_;
  ActionBudget& budget_;
  uint8_t version_;
  std::vector<ActionValue> stack_;
  std::vector<std::string> constants_;
  ActionValue registers_[kRegisterCount];
  std::string origin_;  // the clip the block belongs to
  std::string target_;  // set by SetTarget (back to origin_ by an empty one); "" is the root
  bool overflow_ = false;
  bool textOverflow_ = false;
  uint32_t random_ = 0x2545F491;  // RandomNumber's generator state: repeatable runs
};

}  // namespace vexil::swf
