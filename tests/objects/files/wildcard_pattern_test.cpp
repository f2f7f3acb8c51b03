#include "objects/files/wildcard_pattern.h"

#include <gtest/gtest.h>

namespace vexil::objects::files {
namespace {

struct MatchCase {
  std::u16string_view pattern;
  std::u16string_view name;
  bool matches;
};

const MatchCase kMatches[] = {
    {u"*.txt", u"a.txt", true},
    {u"*.txt", u"A.TXT", false},  // letter case counts
    {u"*.TXT", u"A.TXT", true},
    {u"*", u"anything.at.all", true},
    {u"***", u"x", true},
    {u"**", u"**.txt", true},  // a star in the name is still matched by the pattern's star
    {u"a*", u"a*b", true},
    {u"*", u"", true},  // only stars match the empty name
    {u"", u"", true},
    {u"?", u"", false},
    {u"a", u"", false},
    {u"", u"a", false},
    {u"?.txt", u"a.txt", true},
    {u"?.txt", u"ab.txt", false},
    {u"a*b*c", u"aXXbYYc", true},
    {u"a*b*c", u"aXXbYY", false},
    {u"*ab", u"aab", true},  // the star gives back what the rest needs
    {u"*a*a*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {u"\u65e5*", u"\u65e5\u672c.txt", true},
    {u"*.\U0001F600", u"x.\U0001F600", true},
    {u"report.txt", u"report.txt", true},
    {u"report.txt", u"report.txt2", false},
};

TEST(WildcardPattern, MatchesTheWholeNameCaseSensitively) {
  for (const MatchCase& c : kMatches) {
    EXPECT_EQ(matchesWildcard(c.pattern, c.name), c.matches)
        << std::string(c.pattern.begin(), c.pattern.end()) << " / " << std::string(c.name.begin(), c.name.end());
  }
}

TEST(WildcardPattern, ListsSplitAtEverySemicolon) {
  EXPECT_EQ(splitPatternList(u"*.txt;*.TXT"), (std::vector<std::u16string>{u"*.txt", u"*.TXT"}));
  EXPECT_EQ(splitPatternList(u"a;;b;"), (std::vector<std::u16string>{u"a", u"", u"b", u""}));
  EXPECT_EQ(splitPatternList(u""), (std::vector<std::u16string>{u""}));
}

TEST(WildcardPattern, ANameIsTakenWhenAnyPatternOfTheListMatches) {
  auto patterns = splitPatternList(u"*.txt;*.TXT");
  EXPECT_TRUE(matchesAnyWildcard(patterns, u"a.txt"));
  EXPECT_TRUE(matchesAnyWildcard(patterns, u"A.TXT"));
  EXPECT_FALSE(matchesAnyWildcard(patterns, u"a.Txt"));
  EXPECT_FALSE(matchesAnyWildcard(splitPatternList(u"*.txt;"), u"b.doc"));
}

}  // namespace
}  // namespace vexil::objects::files
