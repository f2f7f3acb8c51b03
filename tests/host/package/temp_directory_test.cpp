#include <gtest/gtest.h>

#include "host/package/temp_directory.h"
#include "platform/environment.h"
#include "platform/file_system.h"

using namespace vexil::package;
namespace platform = vexil::platform;

namespace {

// Sets TMP and TEMP for one test and puts the old values back.
struct EnvironmentGuard {
  std::optional<std::string> tmp = platform::environmentVariable("TMP");
  std::optional<std::string> temp = platform::environmentVariable("TEMP");
  ~EnvironmentGuard() {
    platform::setEnvironmentVariable("TMP", tmp);
    platform::setEnvironmentVariable("TEMP", temp);
  }
};

std::string prefixOf(const std::string& path) { return path.substr(0, path.size() - 39); }

}  // namespace

TEST(TempDirectory, BaseComesFromTmpThenTempThenTheWindowsDirectory) {
  EnvironmentGuard guard;
  const std::string tooLong(260, 'x');
  struct Case {
    std::optional<std::string> tmp, temp;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\tmp", "D:\\temp", "C:\\tmp\\"},
      {"C:\\tmp\\", std::nullopt, "C:\\tmp\\"},
      {"/var/tmp/", std::nullopt, "/var/tmp\\"},  // a trailing slash becomes a backslash
      {std::nullopt, "D:\\temp", "D:\\temp\\"},
      {tooLong, "D:\\temp", "D:\\temp\\"},
      {tooLong, tooLong, platform::windowsDirectory() + "\\"},
  };
  for (const auto& c : cases) {
    platform::setEnvironmentVariable("TMP", c.tmp);
    platform::setEnvironmentVariable("TEMP", c.temp);
    std::string path = tempDirectoryPath();
    EXPECT_EQ(prefixOf(path), c.expected);
    EXPECT_EQ(path[path.size() - 39], '{');
    EXPECT_EQ(path.substr(path.size() - 2), "}\\");
  }
}

TEST(TempDirectory, CreatesAFreshDirectoryAndDeletesItWhole) {
  auto a = createTempDirectory();
  auto b = createTempDirectory();
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  ASSERT_TRUE(platform::createDirectory(*a + "Plug_Ins"));
  ASSERT_TRUE(platform::createDirectory(*a + "_extra\\"));
  ASSERT_TRUE(platform::createDirectory(*a + "_extra\\deep"));
  ASSERT_TRUE(platform::writeWholeFile(*a + "_extra\\deep\\f.txt", "f", 1));
  ASSERT_TRUE(platform::writeWholeFile(*a + "movie.swf", "m", 1));
  EXPECT_TRUE(deleteTempDirectory(*a));
  EXPECT_FALSE(platform::fileExists(*a));
  EXPECT_TRUE(deleteTempDirectory(*b));
}
