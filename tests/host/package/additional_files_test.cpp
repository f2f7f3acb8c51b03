#include <gtest/gtest.h>

#include "host/package/additional_files.h"
#include "host/package/archive_writer.h"
#include "platform/file_system.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::bytesOf;
using vexil::package::testing::ScratchDir;

namespace {

std::string contentsOf(const std::string& path) {
  auto bytes = vexil::platform::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

ArchiveNode file(std::string name, std::string contents) { return {std::move(name), false, bytesOf(contents), {}}; }
ArchiveNode folder(std::string name, std::vector<ArchiveNode> children) {
  return {std::move(name), true, {}, std::move(children)};
}

// An executable image followed by an archive, in its own directory.
struct Fixture {
  ScratchDir exeDir, temp;
  std::string exe = exeDir.path + "saver.scr";

  void write(const std::vector<ArchiveNode>& root, size_t corruptAt = 0) {
    auto bytes = bytesOf("MZ-executable-image");
    auto archive = buildArchive(root);
    if (corruptAt) archive[corruptAt] ^= 0x55;
    bytes.insert(bytes.end(), archive.begin(), archive.end());
    ASSERT_TRUE(vexil::platform::writeWholeFile(exe, bytes.data(), bytes.size()));
  }
  std::string get(const std::string& name) { return getAdditionalFile(exe, temp.path, name); }
};

}  // namespace

TEST(AdditionalFiles, ExtractsFilesAndFoldersByPathIgnoringCase) {
  Fixture f;
  std::string big(100000, 'z');  // several 4096-byte inflate steps
  f.write({file("readme.txt", "hello"),
           folder("Data", {file("big.bin", big), folder("Deep", {file("x.txt", "x")}), file("y.txt", "y")})});

  EXPECT_EQ(f.get("README.TXT"), f.temp.path + "_extra\\readme.txt");
  EXPECT_EQ(contentsOf(f.get("readme.txt")), "hello");
  EXPECT_EQ(contentsOf(f.get("data/big.bin")), big);
  EXPECT_EQ(contentsOf(f.get("\\Data\\Deep\\x.txt")), "x");

  std::string whole = f.get("data");  // a folder as the last component comes out whole
  EXPECT_EQ(whole, f.temp.path + "_extra\\Data");
  EXPECT_EQ(contentsOf(whole + "\\y.txt"), "y");
  EXPECT_EQ(contentsOf(whole + "\\Deep\\x.txt"), "x");

  for (const char* missing : {"nothing.txt", "Data\\nothing", "readme.txt\\below", "", "\\"}) {
    EXPECT_EQ(f.get(missing), "") << missing;
  }
}

TEST(AdditionalFiles, ASecondRequestReturnsTheExtractedFileWithoutInflatingAgain) {
  Fixture f;
  f.write({file("a.txt", "original")});
  std::string path = f.get("a.txt");
  ASSERT_TRUE(vexil::platform::writeWholeFile(path, "changed", 7));
  EXPECT_EQ(f.get("a.txt"), path);
  EXPECT_EQ(contentsOf(path), "changed");
}

TEST(AdditionalFiles, ACorruptFileIsRemovedAndReportsNothing) {
  Fixture f;
  std::vector<ArchiveNode> root = {file("a.txt", "some text that compresses")};
  auto archive = buildArchive(root);
  // The stored CRC is the four bytes just before the length and the marker.
  f.write(root, archive.size() - 9);
  EXPECT_EQ(f.get("a.txt"), "");
  EXPECT_FALSE(vexil::platform::fileExists(f.temp.path + "_extra\\a.txt"));
}

TEST(AdditionalFiles, WithoutAnArchiveFilesBesideTheExecutableAreFound) {
  Fixture f;
  ASSERT_TRUE(vexil::platform::writeWholeFile(f.exe, "MZ\0\0\0\0\0\0\0\0", 10));  // marker 0
  ASSERT_TRUE(vexil::platform::writeWholeFile(f.exeDir.path + "beside.txt", "b", 1));
  EXPECT_EQ(f.get("\\\\beside.txt"), f.exeDir.path + "beside.txt");
  EXPECT_EQ(f.get("absent.txt"), "");
  EXPECT_EQ(getAdditionalFile(f.exeDir.path + "no-such.exe", f.temp.path, "beside.txt"), f.exeDir.path + "beside.txt");
}

TEST(AdditionalFiles, EntriesThatWouldLeaveTheDirectoryAreRefused) {
  Fixture f;
  f.write({file("..", "x"), folder("pack", {file("..\\..\\..\\escape.txt", "x"), file("ok.txt", "ok")}),
           folder("C:", {file("d.txt", "d")})});
  EXPECT_EQ(f.get(".."), "");
  EXPECT_EQ(f.get("C:\\d.txt"), "");
  std::string pack = f.get("pack");
  EXPECT_EQ(contentsOf(pack + "\\ok.txt"), "ok");
  EXPECT_FALSE(vexil::platform::fileExists(f.temp.path + "escape.txt"));
  EXPECT_FALSE(vexil::platform::fileExists(f.exeDir.path + "escape.txt"));
}

TEST(AdditionalFiles, LyingSizesAndTrailersMeanNoArchiveOrNoFile) {
  Fixture f;
  std::vector<ArchiveNode> root = {file("a.txt", "a")};
  auto archive = buildArchive(root);
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  };
  const Case cases[] = {
      {"body length beyond the file", archive.size() - 8, 0x7FFFFFFF},
      {"root size beyond the body", 4 + 4 + 4 + 24, 0xFFFFFFF0},
      {"entry size beyond its level", 4 + 4 + 4 + 24 + 4 + 4 + 4 + 12, 0xFFFFFFFF},
      {"name count beyond its level", 4 + 4 + 4 + 24 + 4 + 4, 0x40000000},
  };
  for (const auto& c : cases) {
    auto bytes = archive;
    for (int i = 0; i < 4; ++i) bytes[c.at + i] = uint8_t(c.value >> (8 * i));
    ASSERT_TRUE(vexil::platform::writeWholeFile(f.exe, bytes.data(), bytes.size()));
    EXPECT_EQ(f.get("a.txt"), "") << c.what;
  }
}
