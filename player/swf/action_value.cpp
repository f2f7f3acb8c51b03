#include "player/swf/action_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vexil::swf {
namespace {

constexpr uint8_t kFirstVersionWithTypes = 5;
constexpr uint8_t kFirstVersionWithUndefinedText = 7;

}  // namespace

std::string formatNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";  // also for -0
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

bool parseNumber(const std::string& text, double& value) {
  size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return false;
  const char* begin = text.c_str() + start;
  // Only decimal notation: strtod would also take "inf", "nan" and hexadecimal.
  for (const char* p = begin; *p; ++p) {
    if (!std::strchr("0123456789+-.eE \t\r\n", *p)) return false;
  }
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
  return *end == '\0';
}

double toNumber(const ActionValue& value, uint8_t version) {
  const double invalid = version < kFirstVersionWithTypes ? 0.0 : NAN;
  switch (value.kind) {
    case ActionValue::Kind::Undefined:
      return version < kFirstVersionWithUndefinedText ? 0.0 : NAN;
    case ActionValue::Kind::Null: return version < kFirstVersionWithUndefinedText ? 0.0 : NAN;
    case ActionValue::Kind::Boolean: return value.boolean ? 1 : 0;
    case ActionValue::Kind::Number: return value.number;
    case ActionValue::Kind::String: {
      double number = 0;
      return parseNumber(value.text, number) ? number : invalid;
    }
  }
  return invalid;
}

std::string toString(const ActionValue& value, uint8_t version) {
  switch (value.kind) {
    case ActionValue::Kind::Undefined:
      return version < kFirstVersionWithUndefinedText ? "" : "undefined";
    case ActionValue::Kind::Null: return "null";
    case ActionValue::Kind::Boolean:
      if (version < kFirstVersionWithTypes) return value.boolean ? "1" : "0";
      return value.boolean ? "true" : "false";
    case ActionValue::Kind::Number: return formatNumber(value.number);
    case ActionValue::Kind::String: return value.text;
  }
  return {};
}

bool toBoolean(const ActionValue& value, uint8_t version) {
  switch (value.kind) {
    case ActionValue::Kind::Boolean: return value.boolean;
    case ActionValue::Kind::String:
      if (version >= kFirstVersionWithUndefinedText) return !value.text.empty();
      [[fallthrough]];
    default: {
      double number = toNumber(value, version);
      return number != 0 && !std::isnan(number);
    }
  }
}

ActionValue truthValue(bool value, uint8_t version) {
  if (version < kFirstVersionWithTypes) return ActionValue::fromNumber(value ? 1 : 0);
  return ActionValue::fromBool(value);
}

}  // namespace vexil::swf
