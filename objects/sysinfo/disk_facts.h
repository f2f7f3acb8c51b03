#pragma once
// What is known about one physical disk drive, from whichever source answered; each fact the
// source did not give is absent.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "objects/sysinfo/storage_descriptor.h"

namespace vexil::objects {

struct DiskFacts {
  uint32_t index = 0;  // N of \\.\PhysicalDriveN
  std::optional<std::string> vendor;
  std::optional<std::string> model;
  std::optional<std::string> serialNumber;
  std::optional<std::string> firmwareRevision;
  std::optional<int64_t> size;  // bytes
  std::optional<int64_t> cylinders;
  std::optional<int64_t> tracksPerCylinder;
  std::optional<int64_t> sectorsPerTrack;
  std::optional<int64_t> bytesPerSector;
  std::string source;  // "ioctl", "wmi", or both joined with "+"
};

// The identity texts of a storage descriptor as facts.
void addIdentity(DiskFacts& facts, const StorageIdentity& identity);
// Fills the facts of `into` that are absent from `from` (the same drive from a second source).
void addMissingFacts(DiskFacts& into, const DiskFacts& from);
// Drives from a second source joined into the first by index, in index order.
std::vector<DiskFacts> joinDrives(std::vector<DiskFacts> first, const std::vector<DiskFacts>& second);
// True when a fact a script would look for is missing.
bool lacksFacts(const DiskFacts& facts);

}  // namespace vexil::objects
