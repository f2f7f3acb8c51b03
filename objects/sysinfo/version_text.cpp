#include "objects/sysinfo/version_text.h"

#include <cstdio>

namespace vexil::objects {
namespace {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows9x = 1;
constexpr uint32_t kPlatformNt = 2;

}  // namespace

std::string_view systemName(const SystemVersion& v) {
  switch (v.platformId) {
    case kPlatformWin32s:
      return "Windows 32s";
    case kPlatformWindows9x:
      if (v.minor == 0) return "Windows 95";
      return v.minor == 90 ? "Windows ME" : "Windows 98";
    case kPlatformNt:
      if (v.major == 3 || v.major == 4) return "Windows NT";
      if (v.major == 5 && v.minor == 0) return "Windows 2000";
      if (v.major == 5 && v.minor == 1) return "Windows XP";
      return "";
    default:
      return "";
  }
}

std::string systemVersionText(const SystemVersion& v) {
  char numbers[48];
  std::snprintf(numbers, sizeof numbers, " %u.%02u.%04u ", v.major, v.minor, v.build & 0xffffu);
  return std::string(systemName(v)) + numbers + v.servicePack;
}

}  // namespace vexil::objects
