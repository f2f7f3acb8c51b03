#include "player/swf/action_builder.h"

#include <cstring>

#include "player/swf/movie_text.h"

namespace vexil::swf {
namespace {

void appendU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
  appendU16(out, static_cast<uint16_t>(value));
  appendU16(out, static_cast<uint16_t>(value >> 16));
}

void appendString(std::vector<uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

}  // namespace

std::string ActionBuilder::encode(std::string_view text) const { return utf8ToMovieText(text, version_); }

ActionBuilder& ActionBuilder::op(ActionCode code) {
  bytes_.push_back(static_cast<uint8_t>(code));
  return *this;
}

ActionBuilder& ActionBuilder::record(ActionCode code, const std::vector<uint8_t>& payload) {
  bytes_.push_back(static_cast<uint8_t>(code));
  appendU16(bytes_, static_cast<uint16_t>(payload.size()));
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
  return *this;
}

ActionBuilder& ActionBuilder::raw(const std::vector<uint8_t>& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

ActionBuilder& ActionBuilder::push(std::string_view text) {
  std::vector<uint8_t> payload{static_cast<uint8_t>(PushType::String)};
  appendString(payload, encode(text));
  return record(ActionCode::Push, payload);
}

ActionBuilder& ActionBuilder::push(double number) {
  uint64_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  std::vector<uint8_t> payload{static_cast<uint8_t>(PushType::Double)};
  appendU32(payload, static_cast<uint32_t>(bits >> 32));  // high half first
  appendU32(payload, static_cast<uint32_t>(bits));
  return record(ActionCode::Push, payload);
}

ActionBuilder& ActionBuilder::pushInteger(int32_t number) {
  std::vector<uint8_t> payload{static_cast<uint8_t>(PushType::Integer)};
  appendU32(payload, static_cast<uint32_t>(number));
  return record(ActionCode::Push, payload);
}

ActionBuilder& ActionBuilder::pushBool(bool value) {
  return record(ActionCode::Push, {static_cast<uint8_t>(PushType::Boolean), static_cast<uint8_t>(value)});
}

ActionBuilder& ActionBuilder::pushConstant(uint16_t index) {
  if (index < 256) {
    return record(ActionCode::Push, {static_cast<uint8_t>(PushType::Constant8), static_cast<uint8_t>(index)});
  }
  std::vector<uint8_t> payload{static_cast<uint8_t>(PushType::Constant16)};
  appendU16(payload, index);
  return record(ActionCode::Push, payload);
}

ActionBuilder& ActionBuilder::constantPool(const std::vector<std::string>& constants) {
  std::vector<uint8_t> payload;
  appendU16(payload, static_cast<uint16_t>(constants.size()));
  for (const std::string& constant : constants) appendString(payload, encode(constant));
  return record(ActionCode::ConstantPool, payload);
}

ActionBuilder& ActionBuilder::getUrl(std::string_view url, std::string_view target) {
  std::vector<uint8_t> payload;
  appendString(payload, encode(url));
  appendString(payload, encode(target));
  return record(ActionCode::GetUrl, payload);
}

ActionBuilder& ActionBuilder::getUrl2(uint8_t flags) { return record(ActionCode::GetUrl2, {flags}); }

ActionBuilder& ActionBuilder::setVariable(std::string_view name, std::string_view value) {
  return push(name).push(value).op(ActionCode::SetVariable);
}

ActionBuilder& ActionBuilder::gotoFrame(uint16_t frame) {
  std::vector<uint8_t> payload;
  appendU16(payload, frame);
  return record(ActionCode::GotoFrame, payload);
}

ActionBuilder& ActionBuilder::gotoLabel(std::string_view label) {
  std::vector<uint8_t> payload;
  appendString(payload, encode(label));
  return record(ActionCode::GotoLabel, payload);
}

ActionBuilder& ActionBuilder::gotoFrame2(bool play, uint16_t sceneBias) {
  std::vector<uint8_t> payload{static_cast<uint8_t>((play ? 1 : 0) | (sceneBias ? 2 : 0))};
  if (sceneBias) appendU16(payload, sceneBias);
  return record(ActionCode::GotoFrame2, payload);
}

ActionBuilder& ActionBuilder::setTarget(std::string_view target) {
  std::vector<uint8_t> payload;
  appendString(payload, encode(target));
  return record(ActionCode::SetTarget, payload);
}

ActionBuilder& ActionBuilder::jump(int16_t offset) {
  std::vector<uint8_t> payload;
  appendU16(payload, static_cast<uint16_t>(offset));
  return record(ActionCode::Jump, payload);
}

ActionBuilder& ActionBuilder::ifTrue(int16_t offset) {
  std::vector<uint8_t> payload;
  appendU16(payload, static_cast<uint16_t>(offset));
  return record(ActionCode::If, payload);
}

std::vector<uint8_t> ActionBuilder::bytes() const {
  std::vector<uint8_t> block = bytes_;
  block.push_back(static_cast<uint8_t>(ActionCode::End));
  return block;
}

}  // namespace vexil::swf
