#pragma once
// The physical drives as Windows Management Instrumentation lists them (Win32_DiskDrive), for
// systems whose storage driver does not answer the IOCTLs (Wine's, among others).
#include <vector>

#include "objects/sysinfo/disk_facts.h"

namespace vexil::objects {

// Empty when WMI is not there or refuses.
std::vector<DiskFacts> wmiDiskDrives();

}  // namespace vexil::objects
