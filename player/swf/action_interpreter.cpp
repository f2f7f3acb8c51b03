#include "player/swf/action_interpreter.h"

#include <cmath>
#include <cstring>

#include "platform/text_case.h"
#include "player/swf/action_codes.h"
#include "player/swf/byte_reader.h"
#include "player/swf/movie_text.h"
#include "player/swf/swf_error.h"
#include "player/swf/variable_path.h"

namespace vexil::swf {
namespace {

// Property numbers come off the stack as any number; NaN and out-of-range values name no property.
int propertyIndex(double number) {
  return number >= 0 && number < 1000 ? static_cast<int>(number) : -1;
}

constexpr std::string_view kFsCommandPrefix = "fscommand:";
constexpr uint8_t kGotoFramePlayFlag = 0x01;
constexpr uint8_t kGotoFrameSceneBiasFlag = 0x02;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && platform::equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A zero-terminated string inside a payload; an unterminated one takes the rest of the payload.
std::string_view payloadString(std::span<const uint8_t> payload, size_t& pos) {
  const char* start = reinterpret_cast<const char*>(payload.data()) + pos;
  size_t length = 0;
  while (pos + length < payload.size() && payload[pos + length] != 0) ++length;
  pos = std::min(payload.size(), pos + length + 1);
  return {start, length};
}

}  // namespace

std::string ActionInterpreter::payloadText(std::span<const uint8_t> payload, size_t& pos) const {
  return movieTextToUtf8(payloadString(payload, pos), version_);
}

ActionValue ActionInterpreter::pop() {
  if (stack_.empty()) return ActionValue::undefined();  // the player tolerates underflow
  ActionValue value = std::move(stack_.back());
  stack_.pop_back();
  return value;
}

void ActionInterpreter::pushValue(ActionValue value) {
  if (stack_.size() >= kMaxStack) {
    overflow_ = true;
    return;
  }
  if (value.isString() && !budget_.chargeText(value.text.size())) {
    textOverflow_ = true;
    return;
  }
  stack_.push_back(std::move(value));
}

bool ActionInterpreter::decode(std::span<const uint8_t> code, size_t pc, Record& record) const {
  if (pc >= code.size()) return false;
  record.code = code[pc];
  if (record.code < kFirstActionWithLength) {
    record.payload = {};
    record.next = pc + 1;
    return true;
  }
  if (pc + 3 > code.size()) return false;
  size_t length = code[pc + 1] | (code[pc + 2] << 8);
  if (pc + 3 + length > code.size()) return false;
  record.payload = code.subspan(pc + 3, length);
  record.next = pc + 3 + length;
  return true;
}

ActionOutcome ActionInterpreter::run(std::span<const uint8_t> code) {
  size_t pc = 0;
  while (pc < code.size()) {
    if (!budget_.step()) return ActionOutcome::StepLimit;
    Record record;
    if (!decode(code, pc, record)) return ActionOutcome::BadBlock;
    if (record.code == static_cast<uint8_t>(ActionCode::End)) return ActionOutcome::Completed;
    pc = record.next;
    bool keepGoing = true;
    try {
      keepGoing = execute(record, code, pc);
    } catch (const SwfError&) {
      return ActionOutcome::BadBlock;  // a payload shorter than its action needs
    }
    if (overflow_) return ActionOutcome::StackLimit;
    if (textOverflow_) return ActionOutcome::TextLimit;
    if (!keepGoing) return ActionOutcome::BadBlock;
  }
  return ActionOutcome::Completed;
}

bool ActionInterpreter::execute(const Record& record, std::span<const uint8_t> code, size_t& pc) {
  if (record.code >= kFirstActionWithLength) return executeWithPayload(record, code, pc);
  return executeSimple(record.code);
}

bool ActionInterpreter::executeSimple(uint8_t code) {
  switch (static_cast<ActionCode>(code)) {
    case ActionCode::NextFrame: env_.nextFrame(target_); break;
    case ActionCode::PreviousFrame: env_.previousFrame(target_); break;
    case ActionCode::Play: env_.setPlaying(target_, true); break;
    case ActionCode::Stop: env_.setPlaying(target_, false); break;
    case ActionCode::Pop: pop(); break;
    case ActionCode::Trace: pop(); break;  // no output window in a screensaver
    case ActionCode::GetVariable: {
      std::string name = popString();
      pushValue(env_.getVariable(target_, name));
      break;
    }
    case ActionCode::SetVariable:
    case ActionCode::DefineLocal: {  // outside functions a local is a timeline variable
      ActionValue value = pop();
      std::string name = popString();
      env_.setVariable(target_, name, std::move(value));
      break;
    }
    case ActionCode::GetProperty: {
      int index = propertyIndex(popNumber());
      std::string target = popString();
      auto resolved = resolveTarget(target_, target);
      pushValue(resolved ? env_.getProperty(*resolved, index) : ActionValue::undefined());
      break;
    }
    case ActionCode::SetProperty: {
      ActionValue value = pop();
      int index = propertyIndex(popNumber());
      std::string target = popString();
      if (auto resolved = resolveTarget(target_, target)) env_.setProperty(*resolved, index, value);
      break;
    }
    case ActionCode::SetTarget2: {
      std::string target = popString();
      target_ = resolveTarget(origin_, target).value_or(origin_);
      break;
    }
    case ActionCode::PushDuplicate: {
      ActionValue top = pop();
      pushValue(top);
      pushValue(std::move(top));
      break;
    }
    case ActionCode::StackSwap: {
      ActionValue a = pop(), b = pop();
      pushValue(std::move(a));
      pushValue(std::move(b));
      break;
    }
    case ActionCode::GetTime: pushValue(ActionValue::fromNumber(0)); break;
    case ActionCode::RandomNumber: {
      double limit = popNumber();
      random_ = random_ * 1103515245u + 12345u;
      int range = limit >= 1 && limit < 2147483647.0 ? static_cast<int>(limit) : 1;
      pushValue(ActionValue::fromNumber(static_cast<double>((random_ >> 8) % range)));
      break;
    }
    default:
      if (executeArithmetic(code)) break;
      executeStringAction(code);  // unknown one-byte actions do nothing
      break;
  }
  return true;
}

bool ActionInterpreter::executeArithmetic(uint8_t code) {
  auto binary = [&](auto op) {
    double a = popNumber(), b = popNumber();
    pushValue(op(b, a));
  };
  auto number = [](double value) { return ActionValue::fromNumber(value); };
  switch (static_cast<ActionCode>(code)) {
    case ActionCode::Add: binary([&](double b, double a) { return number(b + a); }); return true;
    case ActionCode::Subtract: binary([&](double b, double a) { return number(b - a); }); return true;
    case ActionCode::Multiply: binary([&](double b, double a) { return number(b * a); }); return true;
    case ActionCode::Divide:
      binary([&](double b, double a) {
        // Version 4 players report division by zero as this text instead of a number.
        if (a == 0 && version_ < 5) return ActionValue::fromString("#ERROR#");
        return number(b / a);
      });
      return true;
    case ActionCode::Modulo: binary([&](double b, double a) { return number(std::fmod(b, a)); }); return true;
    case ActionCode::Equals:
    case ActionCode::Equals2:
      binary([&](double b, double a) { return truthValue(b == a, version_); });
      return true;
    case ActionCode::Less:
    case ActionCode::Less2:
      binary([&](double b, double a) { return truthValue(b < a, version_); });
      return true;
    case ActionCode::Greater: binary([&](double b, double a) { return truthValue(b > a, version_); }); return true;
    case ActionCode::And:
      binary([&](double b, double a) { return truthValue(b != 0 && a != 0, version_); });
      return true;
    case ActionCode::Or:
      binary([&](double b, double a) { return truthValue(b != 0 || a != 0, version_); });
      return true;
    case ActionCode::Not: pushValue(truthValue(!toBoolean(pop(), version_), version_)); return true;
    case ActionCode::ToInteger: pushValue(number(std::trunc(popNumber()))); return true;
    case ActionCode::Increment: pushValue(number(popNumber() + 1)); return true;
    case ActionCode::Decrement: pushValue(number(popNumber() - 1)); return true;
    default: return false;
  }
}

bool ActionInterpreter::executeStringAction(uint8_t code) {
  switch (static_cast<ActionCode>(code)) {
    case ActionCode::StringAdd: {
      std::string a = popString(), b = popString();
      pushValue(ActionValue::fromString(b + a));
      return true;
    }
    case ActionCode::Add2: {
      // Strings concatenate, anything else adds as numbers.
      ActionValue a = pop(), b = pop();
      if (a.isString() || b.isString()) {
        pushValue(ActionValue::fromString(toString(b, version_) + toString(a, version_)));
      } else {
        pushValue(ActionValue::fromNumber(toNumber(b, version_) + toNumber(a, version_)));
      }
      return true;
    }
    case ActionCode::StringEquals: {
      std::string a = popString(), b = popString();
      pushValue(truthValue(b == a, version_));
      return true;
    }
    case ActionCode::StringLess: {
      std::string a = popString(), b = popString();
      pushValue(truthValue(b < a, version_));
      return true;
    }
    case ActionCode::StringGreater: {
      std::string a = popString(), b = popString();
      pushValue(truthValue(b > a, version_));
      return true;
    }
    case ActionCode::StringLength:
      pushValue(ActionValue::fromNumber(static_cast<double>(popString().size())));
      return true;
    case ActionCode::StringExtract: {
      // One-based index; out-of-range parts are clipped.
      double count = popNumber(), index = popNumber();
      std::string source = popString();
      double first = std::max(1.0, std::isnan(index) ? 1.0 : index) - 1;
      std::string result;
      if (first < static_cast<double>(source.size()) && count > 0) {
        size_t start = static_cast<size_t>(first);
        size_t length = count >= static_cast<double>(source.size()) ? source.size() : static_cast<size_t>(count);
        result = source.substr(start, length);
      }
      pushValue(ActionValue::fromString(std::move(result)));
      return true;
    }
    case ActionCode::CharToAscii: {
      std::string source = popString();
      pushValue(ActionValue::fromNumber(source.empty() ? 0 : static_cast<uint8_t>(source[0])));
      return true;
    }
    case ActionCode::AsciiToChar: {
      double value = popNumber();
      int code = std::isnan(value) ? 0 : static_cast<int>(std::fmod(value, 256.0));
      pushValue(ActionValue::fromString(std::string(1, static_cast<char>(code & 0xFF))));
      return true;
    }
    default: return false;
  }
}

bool ActionInterpreter::executeWithPayload(const Record& record, std::span<const uint8_t> code,
                                           size_t& pc) {
  ByteReader payload(record.payload, kErrorTagPastEnd);
  switch (static_cast<ActionCode>(record.code)) {
    case ActionCode::GotoFrame: env_.gotoFrame(target_, payload.u16()); break;
    case ActionCode::GotoLabel: {
      size_t pos = 0;
      env_.gotoLabel(target_, payloadText(record.payload, pos));
      break;
    }
    case ActionCode::GetUrl: {
      size_t pos = 0;
      std::string url = payloadText(record.payload, pos);
      getUrl(url, payloadText(record.payload, pos));
      break;
    }
    case ActionCode::GetUrl2: {
      std::string target = popString();
      std::string url = popString();
      getUrl(url, target);
      break;
    }
    case ActionCode::ConstantPool: readConstantPool(record); break;
    case ActionCode::Push: return push(record);
    case ActionCode::StoreRegister: {
      uint8_t index = payload.u8();
      if (index < kRegisterCount) registers_[index] = stack_.empty() ? ActionValue{} : stack_.back();
      break;
    }
    case ActionCode::SetTarget: {
      size_t pos = 0;
      target_ = resolveTarget(origin_, payloadText(record.payload, pos)).value_or(origin_);
      break;
    }
    case ActionCode::Jump:
    case ActionCode::If: {
      int16_t offset = payload.s16();
      bool taken = record.code == static_cast<uint8_t>(ActionCode::Jump) || toBoolean(pop(), version_);
      if (!taken) break;
      int64_t destination = static_cast<int64_t>(record.next) + offset;
      if (destination < 0 || destination > static_cast<int64_t>(code.size())) return false;
      pc = static_cast<size_t>(destination);
      break;
    }
    case ActionCode::WaitForFrame: {
      uint16_t frame = payload.u16();
      uint8_t skip = payload.u8();
      if (!env_.frameLoaded(frame)) return skipActions(code, pc, skip);
      break;
    }
    case ActionCode::WaitForFrame2: {
      uint8_t skip = payload.u8();
      double frame = popNumber();
      if (!(frame >= 0) || !env_.frameLoaded(static_cast<size_t>(frame))) return skipActions(code, pc, skip);
      break;
    }
    case ActionCode::Call: env_.callFrame(target_, popString()); break;
    case ActionCode::GotoFrame2: gotoFrame2(record); break;
    default: break;  // unknown: already skipped by its length
  }
  return true;
}

bool ActionInterpreter::skipActions(std::span<const uint8_t> code, size_t& pc, unsigned count) const {
  for (unsigned i = 0; i < count; ++i) {
    Record record;
    if (!decode(code, pc, record)) return false;
    pc = record.next;
  }
  return true;
}

bool ActionInterpreter::push(const Record& record) {
  ByteReader reader(record.payload, kErrorTagPastEnd);
  while (!reader.atEnd()) {
    auto type = static_cast<PushType>(reader.u8());
    switch (type) {
      case PushType::String: {
        std::string raw = reader.cString();
        pushValue(ActionValue::fromString(movieTextToUtf8(raw, version_)));
        break;
      }
      case PushType::Float: {
        uint32_t bits = reader.u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        pushValue(ActionValue::fromNumber(value));
        break;
      }
      case PushType::Null: pushValue(ActionValue::null()); break;
      case PushType::Undefined: pushValue(ActionValue::undefined()); break;
      case PushType::Register: {
        uint8_t index = reader.u8();
        pushValue(index < kRegisterCount ? registers_[index] : ActionValue{});
        break;
      }
      case PushType::Boolean: pushValue(ActionValue::fromBool(reader.u8() != 0)); break;
      case PushType::Double: {
        // Stored as two little-endian 32-bit halves, the high half first.
        uint64_t high = reader.u32(), low = reader.u32();
        uint64_t bits = (high << 32) | low;
        double value;
        std::memcpy(&value, &bits, sizeof value);
        pushValue(ActionValue::fromNumber(value));
        break;
      }
      case PushType::Integer: pushValue(ActionValue::fromNumber(static_cast<int32_t>(reader.u32()))); break;
      case PushType::Constant8:
      case PushType::Constant16: {
        size_t index = type == PushType::Constant16 ? reader.u16() : reader.u8();
        pushValue(index < constants_.size() ? ActionValue::fromString(constants_[index]) : ActionValue{});
        break;
      }
      default: return false;  // an unknown type leaves the rest of the record unreadable
    }
    if (overflow_) return false;
  }
  return true;
}

void ActionInterpreter::readConstantPool(const Record& record) {
  ByteReader reader(record.payload, kErrorTagPastEnd);
  uint16_t count = reader.u16();
  constants_.clear();
  for (uint16_t i = 0; i < count && !reader.atEnd(); ++i) {
    constants_.push_back(movieTextToUtf8(reader.cString(), version_));
  }
}

void ActionInterpreter::getUrl(const std::string& url, const std::string& target) {
  if (startsWithIgnoringCase(url, kFsCommandPrefix)) {
    env_.fsCommand(url.substr(kFsCommandPrefix.size()), target);
  }
}

void ActionInterpreter::gotoFrame2(const Record& record) {
  ByteReader reader(record.payload, kErrorTagPastEnd);
  uint8_t flags = reader.u8();
  uint16_t bias = (flags & kGotoFrameSceneBiasFlag) ? reader.u16() : 0;
  ActionValue frame = pop();
  std::string frameText = toString(frame, version_);
  std::string target = target_;
  // "path:frame" addresses another timeline's frame.
  if (size_t colon = frameText.rfind(':'); frame.isString() && colon != std::string::npos) {
    target = resolveTarget(target_, frameText.substr(0, colon)).value_or(target_);
    frameText.erase(0, colon + 1);
  }
  double number = 0;
  if (parseNumber(frameText, number)) {
    // The stack holds one-based frame numbers.
    double index = std::trunc(number) - 1 + bias;
    env_.gotoFrame(target, index < 0 ? 0 : static_cast<size_t>(std::min(index, 1e9)));
  } else {
    env_.gotoLabel(target, frameText);
  }
  env_.setPlaying(target, (flags & kGotoFramePlayFlag) != 0);
}

}  // namespace vexil::swf
