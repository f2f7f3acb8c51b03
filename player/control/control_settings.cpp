#include "player/control/control_settings.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "platform/text_case.h"
#include "player/swf/frame_layout.h"
#include "player/swf/movie_text.h"

namespace vexil::control {
namespace {

constexpr std::array<std::string_view, 6> kQualityNames{"Low", "High", "AutoLow", "AutoHigh", "Medium", "Best"};
constexpr std::array<std::string_view, 4> kScaleNames{"ShowAll", "NoBorder", "ExactFit", "NoScale"};

template <size_t N>
std::optional<int32_t> findName(const std::array<std::string_view, N>& names, const std::string& name) {
  for (size_t i = 0; i < N; ++i) {
    if (platform::equalsIgnoringAsciiCase(names[i], name)) return static_cast<int32_t>(i);
  }
  return std::nullopt;
}

}  // namespace

std::string qualityName(int32_t quality) {
  return quality >= 0 && quality < 6 ? std::string(kQualityNames[static_cast<size_t>(quality)]) : "";
}

std::optional<int32_t> parseQualityName(const std::string& name) { return findName(kQualityNames, name); }

std::string scaleName(int32_t scaleMode) {
  return scaleMode >= 0 && scaleMode < 4 ? std::string(kScaleNames[static_cast<size_t>(scaleMode)]) : "";
}

std::optional<int32_t> parseScaleName(const std::string& name) {
  // "ShowAll" is also what an empty text means.
  if (name.empty()) return 0;
  return findName(kScaleNames, name);
}

std::string alignName(int32_t alignMode) {
  std::string name;
  if (alignMode & swf::kAlignLeft) name += 'L';
  if (alignMode & swf::kAlignTop) name += 'T';
  if (alignMode & swf::kAlignRight) name += 'R';
  if (alignMode & swf::kAlignBottom) name += 'B';
  return name;
}

int32_t parseAlignName(const std::string& name) {
  int32_t mode = 0;
  for (char c : platform::asciiLowered(name)) {
    if (c == 'l') mode |= swf::kAlignLeft;
    if (c == 'r') mode |= swf::kAlignRight;
    if (c == 't') mode |= swf::kAlignTop;
    if (c == 'b') mode |= swf::kAlignBottom;
  }
  return mode;
}

std::string colorName(std::optional<uint32_t> color) {
  if (!color) return "";
  char text[8];
  std::snprintf(text, sizeof text, "%06x", *color & 0xFFFFFFu);
  return text;
}

std::optional<uint32_t> parseColorName(const std::string& name) {
  std::string_view digits = name;
  if (!digits.empty() && digits[0] == '#') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 6) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

}  // namespace vexil::control
