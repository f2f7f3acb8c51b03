#pragma once
// The Shift, Ctrl and Alt keys held right now, as the wake-up rules count them.
#include <windows.h>

#include <cstdint>

#include "host/mainwnd/wake_up_rules.h"

namespace vexil::mainwnd {

inline uint16_t modifiersDown() {
  uint16_t modifiers = 0;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= kModifierShift;
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= kModifierCtrl;
  if (GetKeyState(VK_MENU) < 0) modifiers |= kModifierAlt;
  return modifiers;
}

}  // namespace vexil::mainwnd
