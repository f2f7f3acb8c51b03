#include "host/mainwnd/wake_up_rules.h"

namespace vexil::mainwnd {
namespace {

// The mouse actions and the bit that lets each end the screensaver (0: always).
struct MouseRule {
  UserAction action;
  uint32_t bit;
};
constexpr MouseRule kMouseRules[] = {
    {UserAction::LeftButton, kWakeLeftButton},
    {UserAction::RightButton, kWakeRightButton},
    {UserAction::MouseMove, kWakeMouseMove},
    {UserAction::MiddleButton, 0},
};

bool keyEnds(const WakeUpSettings& s, uint16_t key, uint16_t modifiersDown) {
  if (s.method & kWakeAnyKey) return true;
  if ((s.method & kWakeEscape) && key == kVirtualKeyEscape) return true;
  uint16_t needed = s.hotKeyModifiers & kModifiersHeld;
  return (s.method & kWakeHotKey) && key == s.hotKeyCode && (modifiersDown & needed) == needed;
}

}  // namespace

bool endsScreensaver(const WakeUpSettings& settings, UserAction action, uint16_t key, uint16_t modifiersDown) {
  if (action == UserAction::Key) return keyEnds(settings, key, modifiersDown);
  for (const MouseRule& rule : kMouseRules) {
    if (rule.action == action) return rule.bit == 0 || (settings.method & rule.bit) != 0;
  }
  return false;
}

bool MouseOrigin::isMovement(int x, int y) {
  if (!seen_) {
    seen_ = true;
    x_ = x;
    y_ = y;
    return false;
  }
  return x != x_ || y != y_;
}

}  // namespace vexil::mainwnd
