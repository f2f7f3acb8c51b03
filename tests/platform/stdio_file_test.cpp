#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/environment.h"
#include "platform/stdio_file.h"

using namespace vexil::platform;
namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary directory, removed with what it holds.
struct TempDir {
  fs::path path = fs::temp_directory_path() / ("vx-stdio-" + newGuidText());
  TempDir() { fs::create_directories(path); }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string file(const char* name) const { return (path / name).string(); }
  size_t entries() const { return size_t(std::distance(fs::directory_iterator(path), fs::directory_iterator())); }
};

}  // namespace

TEST(StdioFile, OnlyPlainModesAreAccepted) {
  for (const char* good : {"r", "w", "a", "rb", "r+b", "rb+", "w+", "ab+"}) {
    EXPECT_TRUE(StdioFile::isValidMode(good)) << good;
  }
  for (const char* bad : {"", "b", "x", "rbb", "r++", "rt", "r+bx", "wx", "rccs=UTF-8", "r,"}) {
    EXPECT_FALSE(StdioFile::isValidMode(bad)) << bad;
  }
  TempDir dir;
  EXPECT_FALSE(StdioFile::open(dir.file("a.bin"), "wz").isOpen());
  EXPECT_EQ(dir.entries(), 0u);
}

TEST(StdioFile, ReadsAndWritesFollowEachOtherWithoutExplicitSeeks) {
  TempDir dir;
  StdioFile f = StdioFile::open(dir.file("mixed.bin"), "w+b");
  ASSERT_TRUE(f.isOpen());
  ASSERT_EQ(f.write("abcdef", 6), 6u);
  ASSERT_TRUE(f.seek(1));
  EXPECT_EQ(f.getByte(), 'b');
  ASSERT_TRUE(f.putByte('X'));  // lands on 'c', right after the byte read
  EXPECT_EQ(f.getByte(), 'd');
  EXPECT_EQ(f.position(), 4);
  ASSERT_TRUE(f.ungetByte('d'));
  EXPECT_EQ(f.position(), 3);
  ASSERT_TRUE(f.putByte('Y'));  // a write after a push-back takes the pushed-back byte's place
  ASSERT_TRUE(f.seek(0));
  char all[7] = {};
  EXPECT_EQ(f.read(all, 6), 6u);
  EXPECT_STREQ(all, "abXYef");
  EXPECT_EQ(f.getByte(), EOF);
  EXPECT_TRUE(f.atEnd());
  ASSERT_TRUE(f.seek(0));
  EXPECT_FALSE(f.atEnd());
}

TEST(StdioFile, LengthCountsBufferedBytesAndTruncateCuts) {
  TempDir dir;
  StdioFile f = StdioFile::open(dir.file("len.bin"), "w+b");
  ASSERT_TRUE(f.isOpen());
  f.write("0123456789", 10);
  EXPECT_EQ(f.length(), 10);
  ASSERT_TRUE(f.truncate(4));
  EXPECT_EQ(f.length(), 4);
  EXPECT_EQ(f.position(), 10);  // the position stays, beyond the new end
  ASSERT_TRUE(f.seek(0));
  char all[11] = {};
  EXPECT_EQ(f.read(all, 10), 4u);
  EXPECT_STREQ(all, "0123");
  // Read-ahead from before a cut never shows bytes the cut removed.
  ASSERT_TRUE(f.seek(0));
  EXPECT_EQ(f.getByte(), '0');
  ASSERT_TRUE(f.truncate(2));
  ASSERT_TRUE(f.seek(0));
  EXPECT_EQ(f.read(all, 10), 2u);
  EXPECT_FALSE(f.truncate(-1));
  EXPECT_FALSE(f.seek(-1));
}

TEST(StdioFile, ATemporaryFileIsPrivateAndGoesAwayOnClose) {
  TempDir dir;
  std::optional<std::string> saved = environmentVariable("TMP");
  setEnvironmentVariable("TMP", dir.path.string());
  StdioFile f = StdioFile::openTemporary();
  setEnvironmentVariable("TMP", saved);
  ASSERT_TRUE(f.isOpen());
  // Windows keeps a name until the last handle goes; POSIX has none from the start.
#ifdef _WIN32
  EXPECT_EQ(dir.entries(), 1u);
#else
  EXPECT_EQ(dir.entries(), 0u);
#endif
  EXPECT_EQ(f.write("temp", 4), 4u);
  ASSERT_TRUE(f.seek(0));
  char back[5] = {};
  EXPECT_EQ(f.read(back, 4), 4u);
  EXPECT_STREQ(back, "temp");
  EXPECT_TRUE(f.close());
  EXPECT_EQ(dir.entries(), 0u);
}

TEST(StdioFile, ClosedWrapperRefusesEverything) {
  StdioFile f;
  char c;
  EXPECT_EQ(f.getByte(), EOF);
  EXPECT_EQ(f.read(&c, 1), 0u);
  EXPECT_EQ(f.write("x", 1), 0u);
  EXPECT_FALSE(f.flush());
  EXPECT_EQ(f.length(), -1);
  EXPECT_TRUE(f.close());
}
