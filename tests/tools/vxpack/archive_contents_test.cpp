// Listing the appended archive of additional files: every entry with its folder path and size,
// and the first damage named.
#include <gtest/gtest.h>

#include <functional>

#include "host/package/archive_writer.h"
#include "tools/vxpack/project/archive_contents.h"

namespace vexil::project {
namespace {

using vexil::package::ArchiveNode;

std::vector<uint8_t> program(const std::vector<ArchiveNode>& root) {
  std::vector<uint8_t> bytes(300, 'p');  // the program before its archive
  auto archive = vexil::package::buildArchive(root);
  bytes.insert(bytes.end(), archive.begin(), archive.end());
  return bytes;
}

std::vector<ArchiveNode> sample() {
  ArchiveNode readme{"readme.txt", false, std::vector<uint8_t>(1000, 'r'), {}};
  ArchiveNode inner{"b.bin", false, {1, 2, 3}, {}};
  ArchiveNode folder{"data", true, {}, {inner, ArchiveNode{"empty", true, {}, {}}}};
  return {readme, folder};
}

TEST(ArchiveContents, ListsEveryEntryWithItsPathAndSize) {
  ArchiveContents c = listArchive(program(sample()));
  EXPECT_TRUE(c.present);
  EXPECT_EQ(c.problem, "");
  ASSERT_EQ(c.entries.size(), 4u);
  EXPECT_EQ(c.entries[0].path, "readme.txt");
  EXPECT_EQ(c.entries[0].size, 1000u);
  EXPECT_TRUE(c.entries[1].folder);
  EXPECT_EQ(c.entries[2].path, "data/b.bin");
  EXPECT_EQ(c.entries[2].size, 3u);
  EXPECT_EQ(c.entries[3].path, "data/empty");
}

TEST(ArchiveContents, NoArchiveIsNotAProblem) {
  for (auto bytes : {std::vector<uint8_t>{}, std::vector<uint8_t>(100, 0), std::vector<uint8_t>(100, 'x')}) {
    ArchiveContents c = listArchive(bytes);
    EXPECT_FALSE(c.present);
    EXPECT_EQ(c.problem, "");
  }
}

TEST(ArchiveContents, NamesTheFirstDamage) {
  auto good = program(sample());
  const size_t body = 300;
  // The readme's entry: type, name item (4 + 2 * 11), the size of its stored data, then the data.
  const size_t readmeSize = body + 4 + 4 + 4 + 2 * 12 + 4 + 4 + 4 + 2 * 11, readmeData = readmeSize + 4;
  const size_t stored = good[readmeSize] | good[readmeSize + 1] << 8;
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* problem;
  };
  const Case cases[] = {
      {"compressed bytes", [&](auto& b) { b[readmeData + 2] = 0xFF; }, "readme.txt: damaged compressed data"},
      {"stored checksum", [&](auto& b) { b[readmeData + stored - 1] ^= 0x55; }, "readme.txt: checksum does not match"},
      {"entry size", [&](auto& b) { b[readmeSize + 2] = 0x7F; }, "readme.txt: entry larger than its folder"},
      {"root name", [&](auto& b) { b[body + 12] = 'B'; }, "not \"Application\""},
      {"header word", [&](auto& b) { b[body + 4] = 0; }, "header word is 0"},
  };
  for (const Case& c : cases) {
    auto broken = good;
    c.damage(broken);
    ArchiveContents result = listArchive(broken);
    EXPECT_TRUE(result.present) << c.name;
    EXPECT_NE(result.problem.find(c.problem), std::string::npos) << c.name << ": " << result.problem;
  }
}

}  // namespace
}  // namespace vexil::project
