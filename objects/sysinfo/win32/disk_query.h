#pragma once
// The physical drives as the storage driver describes them (\\.\PhysicalDriveN): identity texts
// from IOCTL_STORAGE_QUERY_PROPERTY, size and geometry from IOCTL_DISK_GET_DRIVE_GEOMETRY_EX.
// Opening a drive for queries only needs no administrator rights.
#include <vector>

#include "objects/sysinfo/disk_facts.h"

namespace vexil::objects {

// Every drive number below kMaxPhysicalDrives that opens (numbers may have gaps), in order.
inline constexpr uint32_t kMaxPhysicalDrives = 32;
std::vector<DiskFacts> queryPhysicalDrives();

}  // namespace vexil::objects
