#pragma once
// The hot key as Preferences.hotKey shows it: "None" for no key, otherwise the held modifiers in
// the order CTRL, SHIFT, ALT, then the key's name as the system spells it, joined by "+". Text
// written to it is split at "+" and each part read case-insensitively: CTRL, SHIFT and ALT add
// modifiers; "ins", "home" and "end" name the extended keys; "num 0".."num 9" the keypad digits;
// "f1".."f12" the function keys; any other part names the key of its first character.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vexil::hostobjects {

// Hot-key modifier bits, as the settings keep them.
inline constexpr uint16_t kHotKeyShift = 1;
inline constexpr uint16_t kHotKeyControl = 2;
inline constexpr uint16_t kHotKeyAlt = 4;
inline constexpr uint16_t kHotKeyExtended = 8;

inline constexpr char kNoHotKey[] = "None";

struct HotKey {
  uint16_t key = 0;        // virtual-key code; 0: none
  uint16_t modifiers = 0;
};

// The text of a hot key; keyName gives the system's name of a key (with its extended flag).
std::string hotKeyText(const HotKey& hotKey, const std::function<std::string(uint16_t key, bool extended)>& keyName);

// Reads hot-key text. The last key named wins; text that names no key leaves the key 0.
HotKey parseHotKeyText(std::string_view text);

}  // namespace vexil::hostobjects
