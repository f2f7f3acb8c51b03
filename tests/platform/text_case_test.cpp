#include <gtest/gtest.h>

#include "platform/text_case.h"

using namespace vexil::platform;

// Only A-Z and a-z fold: letters of the ANSI code page's upper half stay as they are, so every
// machine answers the same whatever its locale.
TEST(TextCase, OnlyAsciiLettersFold) {
  struct Case {
    std::string_view a, b;
    bool equal;
  };
  const Case cases[] = {
      {"Vexil_Run", "vexil_run", true},
      {"QUIT", "quit", true},
      {"", "", true},
      {"quit", "quits", false},
      {"caf\xC9", "caf\xE9", false},  // É and é are not folded
      {"[", "{", false},              // 0x5B and 0x7B differ by 32 but are no letters
      {"@", "`", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
  }
  EXPECT_TRUE(equalsIgnoringAsciiCase(std::wstring_view(L"User"), L"user"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(std::wstring_view(L"\u00C9"), L"\u00E9"));
}

TEST(TextCase, PrefixesSuffixesAndLowering) {
  EXPECT_TRUE(startsWithIgnoringAsciiCase("FILE:///c:/x.swf", "file:"));
  EXPECT_FALSE(startsWithIgnoringAsciiCase("fil", "file:"));
  EXPECT_TRUE(endsWithIgnoringAsciiCase("Movie.SWF", ".swf"));
  EXPECT_FALSE(endsWithIgnoringAsciiCase("swf", ".swf"));
  EXPECT_EQ(asciiLowered("_Root.Clip\xC9"), "_root.clip\xC9");
}
