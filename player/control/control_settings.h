#pragma once
// The control's host-visible settings. Several come in pairs, one numeric and one textual (Quality
// and Quality2, ScaleMode and Scale, AlignMode and SAlign, BackgroundColor and BGColor); each pair
// is stored once and the other form is derived, so the two can never disagree.
#include <cstdint>
#include <optional>
#include <string>

namespace vexil::control {

struct ControlSettings {
  int32_t quality = 1;     // 0 low, 1 high, 2 auto-low, 3 auto-high, 4 medium, 5 best
  int32_t scaleMode = 0;   // 0 show all, 1 no border, 2 exact fit, 3 no scale
  int32_t alignMode = 0;   // left 1, right 2, top 4, bottom 8; none centres
  std::optional<uint32_t> backgroundColor;  // set by the host; else the movie's
  bool loop = true;
  bool menu = true;
  bool deviceFont = false;
  bool embedMovie = false;
  std::string movie;
  std::string windowMode = "Window";
  std::string base;
  std::string swRemote;
  std::string flashVars;
};

// Text forms. Parsing is case-insensitive and returns nothing for text it does not know.
std::string qualityName(int32_t quality);
std::optional<int32_t> parseQualityName(const std::string& name);
std::string scaleName(int32_t scaleMode);
std::optional<int32_t> parseScaleName(const std::string& name);
std::string alignName(int32_t alignMode);
int32_t parseAlignName(const std::string& name);  // unknown letters are ignored
std::string colorName(std::optional<uint32_t> color);  // "rrggbb", or "" when none
std::optional<uint32_t> parseColorName(const std::string& name);  // "rrggbb" or "#rrggbb"

}  // namespace vexil::control
