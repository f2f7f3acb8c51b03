#include "objects/files/win32/disk_space.h"

#include <windows.h>

#include "objects/files/win32/file_system_paths.h"

namespace vexil::objects::files {
namespace {

// Volumes that answer only the cluster counts: every product is taken in 64 bits, since a large
// volume's byte count passes 32 bits long before its cluster count does.
std::optional<DiskSpace> fromClusters(const std::wstring& root) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return std::nullopt;
  }
  uint64_t clusterBytes = uint64_t(sectorsPerCluster) * bytesPerSector;
  uint64_t free = uint64_t(freeClusters) * clusterBytes;
  return DiskSpace{free, uint64_t(totalClusters) * clusterBytes, free};
}

}  // namespace

std::optional<DiskSpace> diskSpace(const std::wstring& root) {
  QuietDriveErrors quiet;
  std::wstring withSeparator = root.empty() || root.back() == L'\\' ? root : root + L'\\';
  ULARGE_INTEGER available, total, free;
  if (GetDiskFreeSpaceExW(withSeparator.c_str(), &available, &total, &free)) {
    return DiskSpace{available.QuadPart, total.QuadPart, free.QuadPart};
  }
  return fromClusters(withSeparator);
}

}  // namespace vexil::objects::files
