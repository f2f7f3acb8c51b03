#pragma once
// The system's version as one line of text: its name, the numbers, the service-pack text.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil::objects {

struct SystemVersion {
  uint32_t platformId;  // 0 Win32s, 1 the Windows 9x family, 2 the NT family
  uint32_t major;
  uint32_t minor;
  uint32_t build;
  std::string servicePack;
};

// The family's name for the version, or "" where none is given (NT-family versions after 5.1).
std::string_view systemName(const SystemVersion& version);
// name + " major.minor(2 digits).build(low 16 bits, 4 digits) " + service pack.
std::string systemVersionText(const SystemVersion& version);

}  // namespace vexil::objects
