// The portable parts of Shell and Shortcut: the special-folder table, environment-block names,
// icon-location text and the version resource's keys.
#include <gtest/gtest.h>

#include "host/shell/environment_names.h"
#include "host/shell/icon_location.h"
#include "host/shell/special_folders.h"
#include "host/shell/version_keys.h"

namespace vexil::shell {
namespace {

using namespace std::string_literals;

TEST(SpecialFolders, FindsNamesWithoutRegardToAsciiCase) {
  struct Case {
    std::u16string name;
    FolderSource source;
    int csidl;
  } cases[] = {
      {u"appdata", FolderSource::Csidl, 0x1A},     {u"AppData", FolderSource::Csidl, 0x1A},
      {u"DESKTOP ALL", FolderSource::Csidl, 0x19}, {u"my documents", FolderSource::Csidl, 0x05},
      {u"Temp", FolderSource::Temp, 0},             {u"program files", FolderSource::ProgramFiles, 0},
      {u"printers", FolderSource::NoPath, 0x04},    {u"Recycle Bin", FolderSource::NoPath, 0},
      {u"windows", FolderSource::Windows, 0},       {u"system", FolderSource::System, 0},
  };
  for (const Case& c : cases) {
    const SpecialFolder* folder = findSpecialFolder(c.name);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->source, c.source);
    EXPECT_EQ(folder->csidl, c.csidl);
  }
}

TEST(SpecialFolders, RefusesUnknownNearAndNonAsciiNames) {
  for (std::u16string name : {u""s, u"desktop "s, u"desk"s, u"nope"s, u"\uFF44esktop"s, u"desktop\0"s,
                              std::u16string(10000, u'a')}) {
    EXPECT_EQ(findSpecialFolder(name), nullptr);
  }
}

TEST(EnvironmentNames, TakesTheTextBeforeTheEqualsAndSkipsPastALeadingOne) {
  std::u16string block = u"=C:=C:\\dir\0PATH=a;b\0EMPTY=\0NOEQUALS\0X=y=z\0\0"s;
  std::vector<std::u16string> expected = {u"=C:", u"PATH", u"EMPTY", u"NOEQUALS", u"X"};
  EXPECT_EQ(environmentNames(block), expected);
}

TEST(EnvironmentNames, EndsAtTheEmptyEntryOrTheBlocksEnd) {
  EXPECT_TRUE(environmentNames(u""s).empty());
  EXPECT_TRUE(environmentNames(u"\0A=b\0"s).empty());
  EXPECT_EQ(environmentNames(u"A=b\0B=c"s), (std::vector<std::u16string>{u"A", u"B"}));
}

TEST(IconLocation, SplitsAtTheLastCommaWhenANumberFollows) {
  struct Case {
    std::u16string text;
    std::u16string path;
    int index;
  } cases[] = {
      {u"C:\\a\\x.ico,3", u"C:\\a\\x.ico", 3},
      {u"C:\\a,b\\x.dll,12", u"C:\\a,b\\x.dll", 12},  // a comma in the path stays in it
      {u"C:\\a,b\\x.ico", u"C:\\a,b\\x.ico", 0},      // no number after the last comma: all path
      {u"x.ico", u"x.ico", 0},
      {u"x.ico,-5", u"x.ico", -5},
      {u"x.ico, 7 ", u"x.ico", 7},
      {u"x.ico,", u"x.ico,", 0},
      {u"x.ico,99999999999", u"x.ico,99999999999", 0},  // past an int: not an index
      {u"x.ico,-2147483648", u"x.ico", -2147483647 - 1},
      {u"", u"", 0},
  };
  for (const Case& c : cases) {
    IconLocation location = parseIconLocation(c.text);
    EXPECT_EQ(location.path, c.path);
    EXPECT_EQ(location.index, c.index);
  }
}

TEST(IconLocation, WritesPathCommaIndex) {
  EXPECT_EQ(iconLocationText(u"C:\\a,b\\x.ico", 3), u"C:\\a,b\\x.ico,3");
  EXPECT_EQ(iconLocationText(u"", 0), u",0");
  EXPECT_EQ(iconLocationText(u"x", -1), u"x,-1");
}

TEST(VersionKeys, NamesStringSubBlocksByTranslation) {
  EXPECT_EQ(versionStringPath(translationNumber(0x0409, 0x04B0), "CompanyName"), u"\\StringFileInfo\\040904B0\\CompanyName");
  EXPECT_EQ(versionStringPath(0, "Comments"), u"\\StringFileInfo\\00000000\\Comments");
}

TEST(VersionKeys, PutsTheMostSignificantPairInTheHighHalf) {
  EXPECT_EQ(versionNumber(0x00010002, 0x00030004), 0x0001000200030004LL);
  EXPECT_EQ(versionNumber(0xFFFFFFFF, 0xFFFFFFFF), -1);
  EXPECT_EQ(translationNumber(0x0409, 0x04E4), 0x040904E4u);
}

}  // namespace
}  // namespace vexil::shell
