// The POSIX-style layer over Boost.Regex on its own: options, groups, error codes and texts.
#include <gtest/gtest.h>

#include <string>

#include "objects/regexp/posix_regex.h"

namespace vexil::objects {
namespace {

struct Found {
  int code;
  RegexGroup groups[kMaxRegexGroups];
};

Found run(std::u16string_view pattern, int options, std::u16string_view subject, size_t from = 0) {
  Found f{};
  RegexHandle regex;
  f.code = compileRegex(pattern, options, regex);
  if (f.code == kRegOk) f.code = executeRegex(*regex, subject, from, f.groups, kMaxRegexGroups);
  return f;
}

TEST(PosixRegex, OptionsMapOntoTheMatcher) {
  const struct {
    const char16_t* pattern;
    int options;
    const char16_t* subject;
    int64_t start;  // -1: no match
  } cases[] = {
      {u"b+", kRegExtended, u"abbc", 1},
      {u"b+", 0, u"ab+c", 1},  // basic syntax: "+" is literal
      {u"B", kRegExtended, u"abc", -1},
      {u"B", kRegExtended | kRegIcase, u"abc", 1},
      {u"a.c", kRegExtended, u"a\nc", 0},
      {u"a.c", kRegExtended | kRegNewline, u"a\nc", -1},
      {u"[\\n]", kRegExtended | kRegEscapeInLists, u"\\n", -1},
      {u"[\\n]", kRegExtended, u"x\\", 1},
      {u"a+", kRegExtended | kRegNospec, u"aaa+", 2},
      {u"x\ny", kRegExtended | kRegNewlineAlt, u"ay", 1},
      {u"(a)|b", kRegExtended | kRegNosub, u"a", 0},
  };
  for (const auto& c : cases) {
    Found f = run(c.pattern, c.options, c.subject);
    if (c.start < 0) {
      EXPECT_EQ(f.code, kRegNoMatch) << int(c.options);
    } else {
      ASSERT_EQ(f.code, kRegOk) << int(c.options);
      EXPECT_EQ(f.groups[0].start, c.start) << int(c.options);
    }
  }
}

TEST(PosixRegex, GroupsAndContext) {
  Found f = run(u"(a)(x)?(c)", kRegExtended, u"zac");
  ASSERT_EQ(f.code, kRegOk);
  EXPECT_EQ(f.groups[0].start, 1);
  EXPECT_EQ(f.groups[0].end, 3);
  EXPECT_EQ(f.groups[1].start, 1);
  EXPECT_EQ(f.groups[2].start, -1);
  EXPECT_EQ(f.groups[2].end, -1);
  EXPECT_EQ(f.groups[3].start, 2);
  EXPECT_EQ(f.groups[4].start, -1);
  // Searching from an offset sees the text before it as context.
  EXPECT_EQ(run(u"^b", kRegExtended, u"ab", 1).code, kRegNoMatch);
  EXPECT_EQ(run(u"b", kRegExtended, u"abab", 2).groups[0].start, 3);
  EXPECT_EQ(run(u"b", kRegExtended, u"ab", 3).code, kRegNoMatch);
  // More groups than are reported: the first 256 come back.
  std::u16string many;
  for (int i = 0; i < 300; ++i) many += u"(a)";
  Found lots = run(many, kRegExtended, std::u16string(300, u'a'));
  ASSERT_EQ(lots.code, kRegOk);
  EXPECT_EQ(lots.groups[255].start, 254);
  RegexHandle regex;
  ASSERT_EQ(compileRegex(many, kRegExtended, regex), kRegOk);
  EXPECT_EQ(regexGroupCount(*regex), 300u);
}

TEST(PosixRegex, ErrorsHaveCodesAndTexts) {
  EXPECT_EQ(run(u"(", kRegExtended, u"").code, 8);
  EXPECT_EQ(run(u"[a", kRegExtended, u"").code, 7);
  EXPECT_EQ(run(u"a{1", kRegExtended, u"").code, 9);
  EXPECT_EQ(regexErrorText(8), "Unmatched marking parenthesis ( or \\(.");
  EXPECT_EQ(regexErrorText(kRegNoMatch), "No match");
  EXPECT_EQ(regexErrorText(-3), regexErrorText(kRegEunknown));
  EXPECT_EQ(regexErrorText(99), regexErrorText(kRegEunknown));
  EXPECT_EQ(run(u"(a*)*b", kRegExtended, std::u16string(50, u'a')).code, kRegEcomplexity);
  RegexHandle regex;
  EXPECT_NE(compileRegex(std::u16string(100000, u'('), kRegExtended, regex), kRegOk);
  EXPECT_FALSE(regex);
}

}  // namespace
}  // namespace vexil::objects
