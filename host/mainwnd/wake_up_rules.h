#pragma once
// Which user actions end the screensaver. The build's settings name them with the wake-up bits;
// the middle mouse button ends it whatever they say, and the first mouse position the player
// window sees is only a starting point, never a movement.
#include <cstdint>

namespace vexil::mainwnd {

// The wake-up bits of the settings record.
inline constexpr uint32_t kWakeLeftButton = 1;
inline constexpr uint32_t kWakeRightButton = 2;
inline constexpr uint32_t kWakeMouseMove = 4;
inline constexpr uint32_t kWakeAnyKey = 8;
inline constexpr uint32_t kWakeEscape = 16;
inline constexpr uint32_t kWakeHotKey = 32;

// Hot-key modifier bits.
inline constexpr uint16_t kModifierShift = 1;
inline constexpr uint16_t kModifierCtrl = 2;
inline constexpr uint16_t kModifierAlt = 4;
// The keys a person holds; the stored modifiers may carry more (the extended-key flag of Ins, Home
// and End), which no keyboard state reports.
inline constexpr uint16_t kModifiersHeld = kModifierShift | kModifierCtrl | kModifierAlt;

inline constexpr uint16_t kVirtualKeyEscape = 27;

enum class UserAction { MouseMove, LeftButton, RightButton, MiddleButton, Key };

struct WakeUpSettings {
  uint32_t method = 0;
  uint16_t hotKeyCode = 0;
  uint16_t hotKeyModifiers = 0;
};

// Whether the action ends the screensaver. For keys, key is the virtual-key code and
// modifiersDown the modifier bits held at that moment (extra ones make no difference).
bool endsScreensaver(const WakeUpSettings& settings, UserAction action, uint16_t key = 0, uint16_t modifiersDown = 0);

// The first position the player window sees is remembered; later positions that differ from it
// are movements.
class MouseOrigin {
 public:
  bool isMovement(int x, int y);

 private:
  bool seen_ = false;
  int x_ = -1, y_ = -1;
};

}  // namespace vexil::mainwnd
