#include "objects/sysinfo/win32/disk_query.h"

#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <span>

#include "objects/sysinfo/storage_descriptor.h"
#include "platform/win32/unique_handle.h"

namespace vexil::objects {
namespace {

constexpr DWORD kFirstDescriptorBytes = 1024;
constexpr DWORD kMaxDescriptorBytes = 64 * 1024;

platform::UniqueKernelHandle openDrive(uint32_t index) {
  wchar_t path[32];
  std::swprintf(path, 32, L"\\\\.\\PhysicalDrive%u", index);
  HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  return platform::UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The descriptor block, asked again with the size its header claims when the first read was short.
std::vector<uint8_t> deviceDescriptor(HANDLE drive) {
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  std::vector<uint8_t> block(kFirstDescriptorBytes);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD got = 0;
    if (!DeviceIoControl(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, block.data(), DWORD(block.size()),
                         &got, nullptr)) {
      return {};
    }
    DWORD claimed = got >= sizeof(STORAGE_DESCRIPTOR_HEADER)
                        ? reinterpret_cast<const STORAGE_DESCRIPTOR_HEADER*>(block.data())->Size
                        : 0;
    if (claimed <= block.size() || claimed > kMaxDescriptorBytes) {
      block.resize(got);
      return block;
    }
    block.assign(claimed, 0);
  }
  return {};
}

void addGeometry(HANDLE drive, DiskFacts& facts) {
  DISK_GEOMETRY_EX geometry{};
  DWORD got = 0;
  if (!DeviceIoControl(drive, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry, sizeof geometry, &got,
                       nullptr) ||
      got < offsetof(DISK_GEOMETRY_EX, Data)) {
    return;
  }
  facts.size = geometry.DiskSize.QuadPart;
  facts.cylinders = geometry.Geometry.Cylinders.QuadPart;
  facts.tracksPerCylinder = geometry.Geometry.TracksPerCylinder;
  facts.sectorsPerTrack = geometry.Geometry.SectorsPerTrack;
  facts.bytesPerSector = geometry.Geometry.BytesPerSector;
}

}  // namespace

std::vector<DiskFacts> queryPhysicalDrives() {
  std::vector<DiskFacts> drives;
  for (uint32_t index = 0; index < kMaxPhysicalDrives; ++index) {
    platform::UniqueKernelHandle drive = openDrive(index);
    if (!drive) continue;
    DiskFacts facts;
    facts.index = index;
    facts.source = "ioctl";
    std::vector<uint8_t> block = deviceDescriptor(drive.get());
    if (std::optional<StorageIdentity> identity = parseStorageDescriptor(block)) addIdentity(facts, *identity);
    addGeometry(drive.get(), facts);
    drives.push_back(std::move(facts));
  }
  return drives;
}

}  // namespace vexil::objects
