#pragma once
// The clip properties that GetProperty/SetProperty and the host's TGetProperty address by number.
#include <array>
#include <string_view>

namespace vexil::swf {

enum class ClipProperty : int {
  X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation, Target,
  FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality, XMouse, YMouse,
};

struct ClipPropertyInfo {
  ClipProperty property;
  std::string_view name;
  std::string_view initial;  // as text; computed properties have none
  bool writable;
};

inline constexpr std::array<ClipPropertyInfo, 22> kClipProperties{{
    {ClipProperty::X, "_x", "0", true},
    {ClipProperty::Y, "_y", "0", true},
    {ClipProperty::XScale, "_xscale", "100", true},
    {ClipProperty::YScale, "_yscale", "100", true},
    {ClipProperty::CurrentFrame, "_currentframe", "", false},
    {ClipProperty::TotalFrames, "_totalframes", "", false},
    {ClipProperty::Alpha, "_alpha", "100", true},
    {ClipProperty::Visible, "_visible", "1", true},
    {ClipProperty::Width, "_width", "", false},
    {ClipProperty::Height, "_height", "", false},
    {ClipProperty::Rotation, "_rotation", "0", true},
    {ClipProperty::Target, "_target", "", false},
    {ClipProperty::FramesLoaded, "_framesloaded", "", false},
    {ClipProperty::Name, "_name", "", true},
    {ClipProperty::DropTarget, "_droptarget", "", false},
    {ClipProperty::Url, "_url", "", false},
    {ClipProperty::HighQuality, "_highquality", "1", true},
    {ClipProperty::FocusRect, "_focusrect", "1", true},
    {ClipProperty::SoundBufTime, "_soundbuftime", "5", true},
    {ClipProperty::Quality, "_quality", "HIGH", true},
    {ClipProperty::XMouse, "_xmouse", "0", false},
    {ClipProperty::YMouse, "_ymouse", "0", false},
}};

inline const ClipPropertyInfo* findClipProperty(int index) {
  if (index < 0 || index >= static_cast<int>(kClipProperties.size())) return nullptr;
  return &kClipProperties[static_cast<size_t>(index)];
}

}  // namespace vexil::swf
