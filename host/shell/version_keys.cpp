#include "host/shell/version_keys.h"

#include <cstdio>

namespace vexil::shell {

std::u16string versionStringPath(uint32_t translation, const char* key) {
  char text[80];
  std::snprintf(text, sizeof text, "\\StringFileInfo\\%08X\\%s", translation, key);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace vexil::shell
