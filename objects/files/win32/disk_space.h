#pragma once
// The byte counts of the volume a root path is on.
#include <cstdint>
#include <optional>
#include <string>

namespace vexil::objects::files {

struct DiskSpace {
  uint64_t availableToCaller;
  uint64_t total;
  uint64_t free;
};

// The counts for a root ("C:\", "\\server\share\"); nothing when the volume cannot be asked (an
// empty drive fails quietly, with no box for the user).
std::optional<DiskSpace> diskSpace(const std::wstring& root);

}  // namespace vexil::objects::files
