#include "objects/sysinfo/disk_facts.h"

#include <algorithm>

namespace vexil::objects {
namespace {

template <typename T>
bool fill(std::optional<T>& into, const std::optional<T>& from) {
  if (into || !from) return false;
  into = from;
  return true;
}

}  // namespace

void addIdentity(DiskFacts& facts, const StorageIdentity& identity) {
  facts.vendor = identity.vendor;
  facts.model = identity.product;
  facts.serialNumber = identity.serialNumber;
  facts.firmwareRevision = identity.revision;
}

void addMissingFacts(DiskFacts& into, const DiskFacts& from) {
  bool added = false;
  added |= fill(into.vendor, from.vendor);
  added |= fill(into.model, from.model);
  added |= fill(into.serialNumber, from.serialNumber);
  added |= fill(into.firmwareRevision, from.firmwareRevision);
  added |= fill(into.size, from.size);
  added |= fill(into.cylinders, from.cylinders);
  added |= fill(into.tracksPerCylinder, from.tracksPerCylinder);
  added |= fill(into.sectorsPerTrack, from.sectorsPerTrack);
  added |= fill(into.bytesPerSector, from.bytesPerSector);
  if (added && !from.source.empty()) into.source += "+" + from.source;
}

std::vector<DiskFacts> joinDrives(std::vector<DiskFacts> first, const std::vector<DiskFacts>& second) {
  for (const DiskFacts& drive : second) {
    auto same = std::find_if(first.begin(), first.end(), [&](const DiskFacts& d) { return d.index == drive.index; });
    if (same == first.end()) {
      first.push_back(drive);
    } else {
      addMissingFacts(*same, drive);
    }
  }
  std::stable_sort(first.begin(), first.end(), [](const DiskFacts& a, const DiskFacts& b) { return a.index < b.index; });
  return first;
}

bool lacksFacts(const DiskFacts& f) {
  return !f.model || !f.serialNumber || !f.firmwareRevision || !f.size || !f.cylinders || !f.tracksPerCylinder ||
         !f.sectorsPerTrack || !f.bytesPerSector;
}

}  // namespace vexil::objects
