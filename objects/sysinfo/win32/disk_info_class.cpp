// DiskInfo: one object per physical drive, a snapshot of what the system said when it was made.
// The storage IOCTLs answer first; WMI fills what they leave out (all of it where the drives cannot
// be opened, as under Wine).
#include <memory>
#include <optional>
#include <string>

#include "objects/sysinfo/disk_facts.h"
#include "objects/sysinfo/win32/disk_query.h"
#include "objects/sysinfo/win32/sysinfo_class.h"
#include "objects/sysinfo/win32/wmi_disks.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects {
namespace {

using script::HostCall;
using script::Value;

std::vector<DiskFacts> physicalDrives() {
  std::vector<DiskFacts> drives = queryPhysicalDrives();
  bool incomplete = drives.empty();
  for (const DiskFacts& d : drives) incomplete = incomplete || lacksFacts(d);
  if (incomplete) drives = joinDrives(std::move(drives), wmiDiskDrives());
  return drives;
}

void answer(HostCall& call, const std::optional<std::string>& text) {
  if (!text) return call.result->setNull();
  *call.result = script::makeStringFromAnsi(call.engine, *text);
}

void answer(HostCall& call, const std::optional<int64_t>& number) {
  if (!number) return call.result->setNull();
  call.result->setInteger(*number);
}

template <auto Field>
void getFact(HostCall& call) {
  const DiskFacts* facts = call.instance<DiskFacts>();
  if (!facts) return call.result->setNull();
  answer(call, facts->*Field);
}

void getIndex(HostCall& call) {
  const DiskFacts* facts = call.instance<DiskFacts>();
  if (!facts) return call.result->setNull();
  call.result->setInteger(facts->index);
}

void getSource(HostCall& call) {
  const DiskFacts* facts = call.instance<DiskFacts>();
  if (!facts) return call.result->setNull();
  *call.result = script::makeStringFromAnsi(call.engine, facts->source);
}

void getCount(HostCall& call) { call.result->setInteger(int64_t(physicalDrives().size())); }

void getDrives(HostCall& call) {
  std::vector<DiskFacts> drives = physicalDrives();
  script::StackRoots roots(call.engine);
  Value* list = roots.hold();
  script::ArrayRecord* array = script::newArray(call.engine);
  list->setArray(array);
  Value* drive = roots.hold();
  for (size_t i = 0; i < drives.size(); ++i) {
    script::publishInstance(call.engine, drive, call.cls, std::make_unique<DiskFacts>(drives[i]));
    script::storeElement(call.engine, *array, i, *drive);
  }
  *call.result = *list;
}

// new DiskInfo(n): the drive \\.\PhysicalDriveN; without an argument the first drive there is.
// Null when there is no such drive.
void construct(HostCall& call) {
  call.result->setNull();
  std::optional<int64_t> wanted = call.args.integer(1);
  if (call.args.count() >= 1 && !wanted) return;
  for (DiskFacts& d : physicalDrives()) {
    if (!wanted || int64_t(d.index) == *wanted) {
      call.publish(std::make_unique<DiskFacts>(std::move(d)));
      return;
    }
  }
}

const script::HostMethodEntry kMethods[] = {
    {"getDrives", getDrives, true},
};

// The class object answers the drive properties with null.
const script::HostPropertyEntry kProperties[] = {
    {"count", getCount, nullptr, true},
    {"index", getIndex, nullptr, true},
    {"vendor", getFact<&DiskFacts::vendor>, nullptr, true},
    {"model", getFact<&DiskFacts::model>, nullptr, true},
    {"serialNumber", getFact<&DiskFacts::serialNumber>, nullptr, true},
    {"firmwareRevision", getFact<&DiskFacts::firmwareRevision>, nullptr, true},
    {"size", getFact<&DiskFacts::size>, nullptr, true},
    {"cylinders", getFact<&DiskFacts::cylinders>, nullptr, true},
    {"tracksPerCylinder", getFact<&DiskFacts::tracksPerCylinder>, nullptr, true},
    {"sectorsPerTrack", getFact<&DiskFacts::sectorsPerTrack>, nullptr, true},
    {"bytesPerSector", getFact<&DiskFacts::bytesPerSector>, nullptr, true},
    {"source", getSource, nullptr, true},
};

const script::HostClassInfo kDiskInfoClass = {
    .name = "DiskInfo",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<DiskFacts>,
};

}  // namespace

void registerDiskInfo(script::Engine& engine) { script::defineHostClass(engine, kDiskInfoClass); }

}  // namespace vexil::objects
