// DataFile's profile text and entry rules: what it writes reads back, and what it cannot trust is
// marked so.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "objects/datafile/data_file_form.h"
#include "objects/datafile/profile_text.h"

namespace vexil::objects::datafile {
namespace {

std::vector<uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

TEST(ProfileTextTest, WrittenSectionsReadBackInOrderThroughUtf16) {
  std::vector<ProfileSection> sections(2);
  sections[0].name = u"a\u4e2d";
  sections[0].entries = {{u"type", u"string"}, {u"value", u"x=y \u00e9"}};
  sections[1].name = u"a.0";
  std::vector<uint8_t> bytes = writeProfileText(sections);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  std::vector<ProfileSection> back = parseProfileText(bytes);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].name, u"a\u4e2d");
  EXPECT_EQ(*back[0].find(u"VALUE"), u"x=y \u00e9");
  EXPECT_FALSE(back[0].damaged);
  EXPECT_TRUE(back[1].entries.empty());
}

TEST(ProfileTextTest, LineEndsBlanksCommentsAndEncodingsAreRead) {
  struct Case {
    std::string text;
    std::u16string name, value;
  };
  const Case cases[] = {
      {"[s]\r\nk = v \r\n", u"s", u"v"},
      {"[s]\nk=v", u"s", u"v"},
      {"[s]\rk=v\r", u"s", u"v"},
      {"junk before\n; comment\n[ s ]\n\n;k=no\nk=v\n", u"s", u"v"},
      {"\xEF\xBB\xBF[s]\nk=\xC3\xA9\n", u"s", u"\u00e9"},
      {"[s]\nk=a=b\n", u"s", u"a=b"},
  };
  for (const Case& c : cases) {
    std::vector<ProfileSection> s = parseProfileText(bytesOf(c.text));
    ASSERT_EQ(s.size(), 1u) << c.text;
    EXPECT_EQ(s[0].name, c.name);
    ASSERT_NE(s[0].find(u"k"), nullptr) << c.text;
    EXPECT_EQ(*s[0].find(u"k"), c.value);
    EXPECT_FALSE(s[0].damaged);
  }
}

TEST(ProfileTextTest, LinesThatAreNoEntryMarkTheirSectionDamaged) {
  for (const std::string& text : {std::string("[s]\nno equals sign\n"), std::string("[s\nk=v\n"), std::string("[s]\nk=v\0w\n", 11), std::string("[s]\nk=\x01\n")}) {
    std::vector<ProfileSection> s = parseProfileText(bytesOf(text));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_TRUE(s[0].damaged) << text;
  }
}

TEST(DataFileFormTest, ValuesThatAProfileLineWouldChangeAreEscapedAndReadBack) {
  const std::u16string values[] = {u"plain",           u"a=b",       u"line\r\nbreak",    u" leading",
                                   u"trailing\t",      u"\"quoted\"", u"back\\slash\nx",   u"\u4e2d\u00e9",
                                   std::u16string(u"nul\0z", 6), u"",  u"\\u0041 not an escape"};
  for (const std::u16string& v : values) {
    std::u16string written = needsEscape(v) ? escapeValue(v) : v;
    for (char16_t c : written) EXPECT_GE(c, 0x20);
    std::optional<std::u16string> back = needsEscape(v) ? unescapeValue(written) : written;
    EXPECT_EQ(back, v);
  }
  EXPECT_FALSE(needsEscape(u"C:\\path"));  // plain values keep their backslashes
}

TEST(DataFileFormTest, MalformedEscapesAreRefused) {
  for (std::u16string bad : {u"\\", u"\\x", u"\\u12", u"\\u12G4", u"end\\"}) EXPECT_FALSE(unescapeValue(bad));
}

TEST(DataFileFormTest, NamesWithSeparatorsBracketsOrControlsCannotBeWritten) {
  for (std::u16string bad : {u"", u"a.b", u"a b", u"[a", u"a]", u"a\nb", u";a"}) EXPECT_FALSE(isWritableName(bad));
  for (std::u16string good : {u"a", u"a=b", u"\u4e2d", u"_x1"}) EXPECT_TRUE(isWritableName(good));
  EXPECT_EQ(splitSectionName(u"a.b c..d"), (std::vector<std::u16string_view>{u"a", u"b", u"c", u"", u"d"}));
}

TEST(DataFileFormTest, IndexesAreDecimalAndCapped) {
  EXPECT_EQ(parseIndex(u"0"), 0u);
  EXPECT_EQ(parseIndex(u"4294967294"), kMaxLoadedIndex);
  for (std::u16string bad : {u"4294967295", u"99999999999999999999", u"-1", u"1e3", u"", u" 1", u"0x10"}) {
    EXPECT_FALSE(parseIndex(bad));
  }
}

TEST(DataFileFormTest, NumbersReadBackExactly) {
  EXPECT_EQ(parseInteger(u"-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(parseInteger(u"9223372036854775808"));
  EXPECT_FALSE(parseInteger(u"12abc"));
  for (double d : {0.1 + 0.2, 1e300, -5e-324, 3.0, 123456789.123}) EXPECT_EQ(parseFloat(floatText(d)), d);
  EXPECT_TRUE(std::isnan(*parseFloat(floatText(std::nan("")))));
  EXPECT_EQ(parseFloat(floatText(-HUGE_VAL)), -HUGE_VAL);
  EXPECT_FALSE(parseFloat(u"0x10"));
  EXPECT_FALSE(parseFloat(u"1.5abc"));
  EXPECT_EQ(savedTypeOf(u"FLOAT"), SavedType::Float);
  EXPECT_FALSE(savedTypeOf(u"function"));
}

}  // namespace
}  // namespace vexil::objects::datafile
