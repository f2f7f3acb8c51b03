#include "objects/sysinfo/storage_descriptor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vexil::objects {
namespace {

// A descriptor block built the way a driver lays it out: the 36-byte header, then the texts.
struct Block {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(36, 0);
  Block() { put32(4, 36); }
  void put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
  }
  // Appends the text (with a terminator unless told otherwise) and points the field at it.
  Block& text(size_t field, const std::string& s, bool terminated = true) {
    put32(field, uint32_t(bytes.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    if (terminated) bytes.push_back(0);
    put32(4, uint32_t(bytes.size()));
    return *this;
  }
  Block& set32(size_t at, uint32_t v) {
    put32(at, v);
    return *this;
  }
};

constexpr size_t kVendor = 12, kProduct = 16, kRevision = 20, kSerial = 24;

TEST(StorageDescriptor, ReadsTheFourTextsTrimmedOfPadding) {
  Block b;
  b.text(kVendor, "ATA     ").text(kProduct, "  Example SSD 500GB    ").text(kRevision, "1B6Q").text(kSerial, "  S3Z9NB0K123456X");
  b.bytes[8] = 0;   // a direct-access device
  b.bytes[10] = 1;  // removable
  b.put32(28, 11);  // SATA
  std::optional<StorageIdentity> id = parseStorageDescriptor(b.bytes);
  ASSERT_TRUE(id);
  EXPECT_EQ(id->vendor, "ATA");
  EXPECT_EQ(id->product, "Example SSD 500GB");
  EXPECT_EQ(id->revision, "1B6Q");
  EXPECT_EQ(id->serialNumber, "S3Z9NB0K123456X");
  EXPECT_TRUE(id->removable);
  EXPECT_EQ(id->busType, 11u);
}

TEST(StorageDescriptor, TextsOutsideTheBlockAreAbsentAndShortBlocksAreRefused) {
  struct Case {
    const char* name;
    Block block;
    size_t keep;  // bytes handed over (0: all)
    bool parses;
    std::optional<std::string> product;
  };
  Block zeroOffset;
  Block pastEnd;
  pastEnd.set32(kProduct, 5000);
  Block pastClaimed;
  pastClaimed.text(kProduct, "Model").set32(4, 36);  // claims only the header
  Block unterminated;
  unterminated.text(kProduct, "Cut", false);
  Block blank;
  blank.text(kProduct, "      ");
  Block claimsTooLittle;
  claimsTooLittle.set32(4, 8);
  Block hugeClaim;
  hugeClaim.text(kProduct, "Model").set32(4, 0xffffffffu);
  Block allOnes;
  allOnes.set32(kProduct, 0xffffffffu).set32(kSerial, 0xffffffffu);
  const Case cases[] = {
      {"offset zero", zeroOffset, 0, true, std::nullopt},
      {"offset past the block", pastEnd, 0, true, std::nullopt},
      {"text past the claimed size", pastClaimed, 0, true, std::nullopt},
      {"unterminated text ends with the block", unterminated, 0, true, "Cut"},
      {"only padding", blank, 0, true, std::nullopt},
      {"claimed size under the header", claimsTooLittle, 0, false, std::nullopt},
      {"claimed size beyond what was read", hugeClaim, 0, true, "Model"},
      {"offsets of all ones", allOnes, 0, true, std::nullopt},
      {"block shorter than the header", Block(), 35, false, std::nullopt},
      {"empty block", Block(), 0xffff, false, std::nullopt},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = c.block.bytes;
    if (c.keep == 0xffff) bytes.clear();
    else if (c.keep != 0) bytes.resize(c.keep);
    std::optional<StorageIdentity> id = parseStorageDescriptor(bytes);
    ASSERT_EQ(id.has_value(), c.parses) << c.name;
    if (id) {
      EXPECT_EQ(id->product, c.product) << c.name;
    }
  }
}

}  // namespace
}  // namespace vexil::objects
