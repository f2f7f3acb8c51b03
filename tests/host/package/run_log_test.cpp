#include <gtest/gtest.h>

#include "host/package/run_log.h"
#include "platform/file_system.h"
#include "scratch_dir.h"

using namespace vexil::package;
namespace platform = vexil::platform;

namespace {

std::string fileText(const std::string& path) {
  auto bytes = platform::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

size_t countOf(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(RunLog, KeepRecentRunsDropsTheOldestSections) {
  const std::string log = "--- a\r\nx\r\n--- b\r\ny\r\nz\r\n--- c\r\n";
  struct Case {
    size_t keep;
    std::string expected;
  } cases[] = {
      {5, log}, {3, log}, {2, "--- b\r\ny\r\nz\r\n--- c\r\n"}, {1, "--- c\r\n"}, {0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(keepRecentRuns(log, c.keep), c.expected) << c.keep;
  // Text before the first section (a damaged file) goes with the first dropped section.
  EXPECT_EQ(keepRecentRuns("junk\r\n--- a\r\n--- b\r\n", 1), "--- b\r\n");
  // A run head is only one at the start of a line.
  EXPECT_EQ(keepRecentRuns("--- a\r\nsays --- b\r\n", 1), "--- a\r\nsays --- b\r\n");
}

TEST(RunLog, RelativePathMakesEveryPartASafeName) {
  struct Case {
    const char* key;
    const char* profile;
    const char* expected;
  } cases[] = {
      {"Vexil Tests", "Demo", "Vexil Tests\\Demo\\errors.log"},
      {"A\\B", "x/y", "A_B\\x_y\\errors.log"},
      {"..", "C:\\Windows", "_\\C__Windows\\errors.log"},
      {"", "a\r\nb.", "_\\a__b\\errors.log"},
      {"<>|?*\"", "ok", "______\\ok\\errors.log"},
  };
  for (const auto& c : cases) EXPECT_EQ(logRelativePath(c.key, c.profile), c.expected) << c.key;
}

TEST(RunLog, ARunWritesOnlyWhenItHasAnErrorAndTheFileKeepsTheLastRuns) {
  vexil::package::testing::ScratchDir dir;
  const std::string path = dir.path + "\\errors.log";
  { RunLog quiet(path, "quiet run"); }
  EXPECT_FALSE(platform::fileExists(path));

  for (int run = 0; run < int(kKeptRuns) + 3; ++run) {
    RunLog log(path, "run " + std::to_string(run));
    ASSERT_TRUE(log.add("start.vxs:3: Runtime error: boom\r\n"));
    ASSERT_TRUE(log.add("two\nlines"));
  }
  std::string text = fileText(path);
  EXPECT_EQ(countOf(text, kRunHead), kKeptRuns);
  EXPECT_EQ(text.find("--- run 2\r\n"), std::string::npos);
  EXPECT_EQ(text.find("--- run 3\r\n"), 0u);
  EXPECT_NE(text.find("--- run 12\r\nstart.vxs:3: Runtime error: boom\r\ntwo lines\r\n"), std::string::npos);
}

TEST(RunLog, ARunThatFailsWithoutEndLogsABoundedNumberOfEntries) {
  vexil::package::testing::ScratchDir dir;
  const std::string path = dir.path + "\\errors.log";
  RunLog log(path, "loop");
  for (int i = 0; i < 10000; ++i) log.add("Timer callback failed: x");
  std::string text = fileText(path);
  EXPECT_EQ(countOf(text, "Timer callback failed"), kEntriesPerRun);
  EXPECT_EQ(countOf(text, kEntriesDropped), 1u);
}

TEST(RunLog, AnUnwritableFileIsReportedNotFatal) {
  RunLog log("no such folder\\really\\errors.log", "t");
  EXPECT_FALSE(log.add("x"));
}
