#pragma once
// What the preferences page shows, and how it maps to and from the settings record: one check box
// per wake-up or option bit, the hot-key control's word and the background colour.
#include <array>
#include <cstdint>
#include <string>

#include "host/package/package_settings.h"

namespace vexil::settings {

enum class SettingWord { WakeUp, Options };

struct CheckBox {
  int id;
  SettingWord word;
  uint32_t bit;
};

// The page's check boxes, in the order they appear.
inline constexpr std::array<CheckBox, 11> kCheckBoxes{{
    {1172, SettingWord::WakeUp, 0x01},   // Left mouse button click
    {1004, SettingWord::WakeUp, 0x02},   // Right mouse button click
    {1005, SettingWord::WakeUp, 0x04},   // Mouse move
    {1006, SettingWord::WakeUp, 0x08},   // Any key stroke
    {1145, SettingWord::WakeUp, 0x10},   // ESC
    {1146, SettingWord::WakeUp, 0x20},   // Custom Hot Key
    {1015, SettingWord::Options, 0x01},  // Custom background color
    {1162, SettingWord::Options, 0x02},  // Mute
    {1173, SettingWord::Options, 0x04},  // Disable cursor
    {1174, SettingWord::Options, 0x08},  // Disable CD autorun
    {1175, SettingWord::Options, 0x10},  // Use default movie size
}};
inline constexpr size_t kHotKeyBox = 5;
inline constexpr size_t kBackgroundBox = 6;

// The hot-key control's modifier bits, which the record keeps as they are.
inline constexpr uint8_t kModifierShiftBit = 0x01;
inline constexpr uint8_t kModifierControlBit = 0x02;
inline constexpr uint8_t kModifierAltBit = 0x04;
inline constexpr uint8_t kModifierExtendedBit = 0x08;

struct PreferencesState {
  std::array<bool, kCheckBoxes.size()> checked{};
  uint16_t hotKey = 0;      // the control's word: low byte virtual key, high byte modifiers
  uint32_t colour = 0xFFFFFF;  // a COLORREF: 0x00BBGGRR
};

PreferencesState stateFromSettings(const package::PackageSettings& settings);

// The page's bits, hot key and colour rebuilt from the state; other bits of the record stay. The hot
// key counts only with its box checked, the colour only with its box checked (else 0).
void applyState(const PreferencesState& state, package::PackageSettings& settings);

// The colour button's text: the colour as 0xRRGGBB, the way colours are written everywhere else.
std::string colourText(uint32_t colourRef);
// The text colour that stands out on a colour: each component below 127 becomes 255, else 0.
uint32_t contrastingColour(uint32_t colourRef);
// The player's 0xRRGGBB from a COLORREF (and back: the swap is its own inverse).
uint32_t swapRedBlue(uint32_t colour);

// RegisterHotKey's modifier bits (Alt 1, Control 2, Shift 4) from the control's (Shift 1,
// Control 2, Alt 4, extended 8, which has no counterpart).
uint32_t systemHotKeyModifiers(uint8_t controlModifiers);

}  // namespace vexil::settings
