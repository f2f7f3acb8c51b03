#include "objects/files/file_paths.h"

#include <gtest/gtest.h>

namespace vexil::objects::files {
namespace {

std::string narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

struct SplitCase {
  std::u16string_view path;
  std::u16string_view drive, parent, name;
  bool root;
};

const SplitCase kSplits[] = {
    {u"C:\\", u"C:", u"C:", u"", true},
    {u"C:\\x", u"C:", u"C:", u"x", false},  // the parent of a folder below the root is "C:"
    {u"C:\\Pictures\\Cat.jpg", u"C:", u"C:\\Pictures", u"Cat.jpg", false},
    {u"\\\\server\\share", u"", u"\\\\server", u"share", true},
    {u"\\\\server\\share\\dir\\a.txt", u"", u"\\\\server\\share\\dir", u"a.txt", false},
};

TEST(FilePaths, SplitIntoDriveParentAndName) {
  for (const SplitCase& c : kSplits) {
    EXPECT_EQ(driveOf(c.path), c.drive) << narrow(c.path);
    EXPECT_EQ(parentPathOf(c.path), c.parent) << narrow(c.path);
    EXPECT_EQ(nameOf(c.path), c.name) << narrow(c.path);
    EXPECT_EQ(isRootPath(c.path), c.root) << narrow(c.path);
  }
}

TEST(FilePaths, OnlyADriveRootKeepsItsTrailingSeparator) {
  EXPECT_EQ(withoutTrailingSeparator(u"C:\\"), u"C:\\");
  EXPECT_EQ(withoutTrailingSeparator(u"C:\\dir\\"), u"C:\\dir");
  EXPECT_EQ(withoutTrailingSeparator(u"C:\\dir/"), u"C:\\dir");
  EXPECT_EQ(withoutTrailingSeparator(u"C:\\dir"), u"C:\\dir");
  EXPECT_TRUE(isDriveRoot(u"c:\\"));
  EXPECT_FALSE(isDriveRoot(u"C:"));
  EXPECT_FALSE(isDriveRoot(u"C:\\x"));
}

TEST(FilePaths, SeparatorsBecomeBackslashesAndComponentsFollowTheRoot) {
  EXPECT_EQ(withBackslashes(u"c:/a/b\\c"), u"c:\\a\\b\\c");
  EXPECT_EQ(rootLength(u"C:\\a"), 3u);
  EXPECT_EQ(rootLength(u"\\\\srv\\share\\a"), 12u);
  EXPECT_EQ(rootLength(u"\\\\srv"), 0u);
  EXPECT_EQ(rootLength(u"relative\\a"), 0u);
  auto parts = componentsAfterRoot(u"C:\\One\\\\two\\");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], u"One");
  EXPECT_EQ(parts[1], u"two");
}

struct AcceptCase {
  std::u16string_view path;
  bool accepted;
};

const AcceptCase kPaths[] = {
    {u"C:\\dir\\file.txt", true},
    {u"relative\\x", true},
    {u"..\\up", true},
    {u".", true},
    {u"\u65e5\u672c\\\U0001F600.txt", true},
    {u"", false},
    {u"...", false},
    {u" . ", false},
    {u"C:\\dir\\..  .", false},
    {u"CON", false},
    {u"nul", false},
    {u"C:\\dir\\COM1", false},
    {u"C:\\dir\\lpt9.txt", false},
    {u"C:\\dir\\com10", true},
    {u"C:\\console", true},
    {u"C:\\dir\\*.txt", false},
    {u"a?b", false},
    {u"a|b", false},
    {u"a\tb", false},
    {u"\\\\?\\C:\\x", false},
    {u"\\\\.\\PhysicalDrive0", false},
    {u"C:\\a:stream", false},
    {u"1:\\x", false},
    {u"\\\\nowhere\\share\\x", true},
};

TEST(FilePaths, ScriptPathsAreCheckedBeforeAnyCall) {
  for (const AcceptCase& c : kPaths) EXPECT_EQ(isAcceptablePath(c.path), c.accepted) << narrow(c.path);
}

TEST(FilePaths, PathsPastTheBufferAreRefused) {
  std::u16string path = u"C:\\" + std::u16string(kMaxPathUnits - 3, u'a');
  EXPECT_TRUE(isAcceptablePath(path));
  EXPECT_FALSE(isAcceptablePath(path + u"a"));
  EXPECT_FALSE(isAcceptablePath(u"C:\\" + std::u16string(297, u'b')));
}

const AcceptCase kNewNames[] = {
    {u"renamed.txt", true}, {u"\u65e5\u672c", true}, {u"a..b", true},   {u"..", false},
    {u".", false},          {u"a\\b", false},        {u"a/b", false},   {u"C:x", false},
    {u"..\\escape", false}, {u"", false},            {u"*.txt", false}, {u"NUL", false},
};

TEST(FilePaths, ANewNameStaysInItsFolder) {
  for (const AcceptCase& c : kNewNames) EXPECT_EQ(isAcceptableNewName(c.path), c.accepted) << narrow(c.path);
}

TEST(FilePaths, ADriveLetterIsReadOnlyFromTheUnitsThereAre) {
  EXPECT_EQ(driveLetterOf(u"c:"), u'C');
  EXPECT_EQ(driveLetterOf(u"D:\\anything"), u'D');
  EXPECT_EQ(driveLetterOf(u"c"), 0);
  EXPECT_EQ(driveLetterOf(std::u16string_view(u"c:", 1)), 0);
  EXPECT_EQ(driveLetterOf(u""), 0);
  EXPECT_EQ(driveLetterOf(u"1:"), 0);
}

}  // namespace
}  // namespace vexil::objects::files
