#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/file_system.h"

using namespace vexil::platform;

namespace {

// A scratch directory in the system's temporary directory, removed with everything in it.
struct ScratchDir {
  std::string path;
  ScratchDir() {
    std::string base = environmentVariable("TMP").value_or(environmentVariable("TEMP").value_or(windowsDirectory()));
    if (base.back() != '\\' && base.back() != '/') base += '\\';
    path = base + newGuidText() + "\\";
    createDirectory(path);
  }
  ~ScratchDir() { deleteTree(path); }
};

}  // namespace

TEST(FileSystem, WriteReadSeekAndSize) {
  ScratchDir dir;
  std::string file = dir.path + "data.bin";
  const char bytes[] = "0123456789";
  ASSERT_TRUE(writeWholeFile(file, bytes, 10));
  EXPECT_TRUE(fileExists(file));
  EXPECT_FALSE(directoryExists(file));

  File f = File::open(file, File::Mode::Read);
  ASSERT_TRUE(f.isOpen());
  EXPECT_EQ(f.size(), 10);
  ASSERT_TRUE(f.seek(7));
  char tail[8] = {};
  EXPECT_EQ(f.read(tail, sizeof tail), 3u);
  EXPECT_STREQ(tail, "789");
  EXPECT_FALSE(f.seek(-1));

  auto whole = readWholeFile(file);
  ASSERT_TRUE(whole);
  EXPECT_EQ(std::string(whole->begin(), whole->end()), "0123456789");
  EXPECT_FALSE(readWholeFile(dir.path + "missing"));
}

TEST(FileSystem, DeleteTreeRemovesNestedEntries) {
  std::string root;
  {
    ScratchDir dir;
    root = dir.path;
    ASSERT_TRUE(createDirectory(root + "a"));
    ASSERT_TRUE(createDirectory(root + "a\\b"));
    ASSERT_TRUE(writeWholeFile(root + "a\\b\\x.txt", "x", 1));
    ASSERT_TRUE(writeWholeFile(root + "top \xE9.txt", "y", 1));  // an ANSI name
    EXPECT_TRUE(fileExists(root + "top \xE9.txt"));
    EXPECT_TRUE(createDirectory(root + "a"));  // already there counts as success
  }
  EXPECT_FALSE(fileExists(root));
}

TEST(FileSystem, DirectoryOfKeepsTheSeparator) {
  EXPECT_EQ(directoryOf("C:\\a\\b.exe"), "C:\\a\\");
  EXPECT_EQ(directoryOf("/usr/bin/x"), "/usr/bin/");
  EXPECT_EQ(directoryOf("plain"), "");
  EXPECT_FALSE(executablePath().empty());
}
