#pragma once
// Assembles action blocks for generated movies (test fixtures, the demo). Strings are UTF-8 and
// are written in the movie version's encoding by MovieBuilder's caller choosing the version.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/swf/action_codes.h"

namespace vexil::swf {

class ActionBuilder {
 public:
  explicit ActionBuilder(uint8_t version = 6) : version_(version) {}

  ActionBuilder& op(ActionCode code);  // any one-byte action
  ActionBuilder& record(ActionCode code, const std::vector<uint8_t>& payload);
  ActionBuilder& raw(const std::vector<uint8_t>& bytes);

  ActionBuilder& push(std::string_view text);
  ActionBuilder& push(const char* text) { return push(std::string_view(text)); }
  ActionBuilder& push(double number);
  ActionBuilder& pushInteger(int32_t number);
  ActionBuilder& pushBool(bool value);
  ActionBuilder& pushConstant(uint16_t index);
  ActionBuilder& constantPool(const std::vector<std::string>& constants);

  ActionBuilder& getUrl(std::string_view url, std::string_view target);
  ActionBuilder& fsCommand(std::string_view command, std::string_view argument) {
    return getUrl("FSCommand:" + std::string(command), argument);
  }
  ActionBuilder& getUrl2(uint8_t flags = 0);
  ActionBuilder& setVariable(std::string_view name, std::string_view value);
  ActionBuilder& gotoFrame(uint16_t frame);  // zero-based
  ActionBuilder& gotoLabel(std::string_view label);
  ActionBuilder& gotoFrame2(bool play, uint16_t sceneBias = 0);
  ActionBuilder& setTarget(std::string_view target);
  // Branch offsets count from the end of the Jump/If record, as in the file.
  ActionBuilder& jump(int16_t offset);
  ActionBuilder& ifTrue(int16_t offset);
  ActionBuilder& stop() { return op(ActionCode::Stop); }
  ActionBuilder& play() { return op(ActionCode::Play); }

  size_t size() const { return bytes_.size(); }
  // The block with its End action appended.
  std::vector<uint8_t> bytes() const;

 private:
  std::string encode(std::string_view text) const;
  uint8_t version_;
  std::vector<uint8_t> bytes_;
};

// Size of the records the builder writes, for computing branch offsets in fixtures.
inline constexpr size_t kJumpRecordSize = 5;

}  // namespace vexil::swf
