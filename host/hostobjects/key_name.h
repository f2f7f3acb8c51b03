#pragma once
// The system's name of a virtual key, as the keyboard layout spells it ("F5", "Home"), for the
// hot-key text of Preferences and shortcuts.
#include <cstdint>
#include <string>

namespace vexil::hostobjects {

// Extended keys (the Insert/Home/End block) are named as such rather than as their keypad twins.
std::string systemKeyName(uint16_t key, bool extended);

}  // namespace vexil::hostobjects
