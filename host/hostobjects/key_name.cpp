#include "host/hostobjects/key_name.h"

#include <windows.h>

namespace vexil::hostobjects {

// The name comes from the key's scan code.
std::string systemKeyName(uint16_t key, bool extended) {
  LONG code = LONG(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
  if (extended) code |= 1L << 24;
  char name[64] = {};
  int length = GetKeyNameTextA(code, name, int(sizeof name));
  return std::string(name, length > 0 ? size_t(length) : 0);
}

}  // namespace vexil::hostobjects
