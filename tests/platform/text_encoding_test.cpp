#include <gtest/gtest.h>

#include "platform/text_encoding.h"

using namespace vexil::platform;

TEST(TextEncoding, AnsiIsWindows1252BothWays) {
  struct Case {
    std::string ansi;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"plain", u"plain"},
      {"\x80 \x9F", u"\u20AC \u0178"},
      {"caf\xE9", u"caf\u00E9"},
      {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},  // holes map to C1 controls
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ansiToUtf16(c.ansi), c.utf16);
    EXPECT_EQ(utf16ToAnsi(c.utf16), c.ansi);
  }
}

TEST(TextEncoding, UnmappableBecomesQuestionMarkNeverALookAlike) {
  // U+FF3C (fullwidth reverse solidus) must not become a path separator.
  EXPECT_EQ(utf16ToAnsi(u"a\uFF3Cb\u0100"), "a?b?");
  EXPECT_EQ(utf16ToAnsi(u"\U0001F600"), "??");  // as Windows: a mark per code unit
}

TEST(TextEncoding, Utf8RoundTripAndMalformedInput) {
  std::u16string text = u"A\u00E9\u20AC\U0001F600";
  EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(text)), text);
  EXPECT_EQ(utf8ToUtf16("\xC0\x80x"), u"\uFFFD\uFFFDx");  // overlong form refused
  EXPECT_EQ(utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");     // truncated sequence
  EXPECT_EQ(utf16ToUtf8(u"\xD800z"), "\xEF\xBF\xBDz");     // lone surrogate
}
