#include "objects/sysinfo/disk_facts.h"

#include <gtest/gtest.h>

namespace vexil::objects {
namespace {

DiskFacts drive(uint32_t index, const char* source) {
  DiskFacts d;
  d.index = index;
  d.source = source;
  return d;
}

TEST(DiskFacts, ASecondSourceFillsOnlyWhatTheFirstLacksAndAddsItsDrives) {
  DiskFacts fromIoctl = drive(0, "ioctl");
  fromIoctl.model = "Drive A";
  fromIoctl.size = 1000;
  DiskFacts fromWmi = drive(0, "wmi");
  fromWmi.model = "Other name";
  fromWmi.serialNumber = "SN1";
  DiskFacts onlyWmi = drive(2, "wmi");
  onlyWmi.model = "Drive C";
  DiskFacts ioctlSecond = drive(1, "ioctl");
  std::vector<DiskFacts> joined = joinDrives({ioctlSecond, fromIoctl}, {onlyWmi, fromWmi});
  ASSERT_EQ(joined.size(), 3u);
  EXPECT_EQ(joined[0].index, 0u);
  EXPECT_EQ(joined[0].model, "Drive A");
  EXPECT_EQ(joined[0].serialNumber, "SN1");
  EXPECT_EQ(joined[0].size, 1000);
  EXPECT_EQ(joined[0].source, "ioctl+wmi");
  EXPECT_EQ(joined[1].source, "ioctl");
  EXPECT_EQ(joined[2].model, "Drive C");
  EXPECT_EQ(joined[2].source, "wmi");
}

TEST(DiskFacts, IdentityTextsBecomeFactsAndMissingOnesAreNoticed) {
  StorageIdentity id;
  id.vendor = "ACME";
  id.product = "Disk";
  id.revision = "1.0";
  id.serialNumber = "42";
  DiskFacts d = drive(0, "ioctl");
  addIdentity(d, id);
  EXPECT_EQ(d.model, "Disk");
  EXPECT_EQ(d.firmwareRevision, "1.0");
  EXPECT_TRUE(lacksFacts(d));
  d.size = d.cylinders = d.tracksPerCylinder = d.sectorsPerTrack = d.bytesPerSector = 1;
  EXPECT_FALSE(lacksFacts(d));
}

}  // namespace
}  // namespace vexil::objects
