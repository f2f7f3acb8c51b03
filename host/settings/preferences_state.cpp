#include "host/settings/preferences_state.h"

#include <cstdio>

namespace vexil::settings {
namespace {

uint32_t& wordOf(package::PackageSettings& settings, SettingWord word) {
  return word == SettingWord::WakeUp ? settings.wakeupMethod : settings.options;
}

uint32_t wordOf(const package::PackageSettings& settings, SettingWord word) {
  return word == SettingWord::WakeUp ? settings.wakeupMethod : settings.options;
}

constexpr uint8_t kRecordedModifiers = kModifierShiftBit | kModifierControlBit | kModifierAltBit | kModifierExtendedBit;

}  // namespace

PreferencesState stateFromSettings(const package::PackageSettings& settings) {
  PreferencesState state;
  for (size_t i = 0; i < kCheckBoxes.size(); ++i) {
    state.checked[i] = (wordOf(settings, kCheckBoxes[i].word) & kCheckBoxes[i].bit) != 0;
  }
  state.hotKey = uint16_t((settings.hotKeyCode & 0xFF) | (settings.hotKeyModifiers & kRecordedModifiers) << 8);
  state.colour = settings.backgroundColor & 0xFFFFFF;
  return state;
}

void applyState(const PreferencesState& state, package::PackageSettings& settings) {
  for (size_t i = 0; i < kCheckBoxes.size(); ++i) {
    uint32_t& word = wordOf(settings, kCheckBoxes[i].word);
    word = state.checked[i] ? word | kCheckBoxes[i].bit : word & ~kCheckBoxes[i].bit;
  }
  bool hotKey = state.checked[kHotKeyBox];
  settings.hotKeyCode = hotKey ? uint16_t(state.hotKey & 0xFF) : 0;
  settings.hotKeyModifiers = hotKey ? uint16_t(state.hotKey >> 8 & kRecordedModifiers) : 0;
  settings.backgroundColor = state.checked[kBackgroundBox] ? state.colour & 0xFFFFFF : 0;
}

std::string colourText(uint32_t colourRef) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", unsigned(swapRedBlue(colourRef & 0xFFFFFF)));
  return text;
}

uint32_t contrastingColour(uint32_t colourRef) {
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    if ((colourRef >> shift & 0xFF) < 127) result |= 0xFFu << shift;
  }
  return result;
}

uint32_t swapRedBlue(uint32_t colour) {
  return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

uint32_t systemHotKeyModifiers(uint8_t controlModifiers) {
  uint32_t result = 0;
  if (controlModifiers & kModifierAltBit) result |= 0x1;
  if (controlModifiers & kModifierControlBit) result |= 0x2;
  if (controlModifiers & kModifierShiftBit) result |= 0x4;
  return result;
}

}  // namespace vexil::settings
