// The plain rules of the standard dialogs: filters, colours and multi-select answers.
#include <gtest/gtest.h>

#include "host/hostobjects/dialog_text.h"

namespace vexil::hostobjects {
namespace {

using namespace std::string_literals;

TEST(DialogFilter, BarsBecomeNulsAndTheListAlwaysEndsInTwo) {
  struct Case {
    std::u16string text;
    std::u16string list;
  } cases[] = {
      {u"Text|*.txt|", u"Text\0*.txt\0\0"s},
      {u"Text|*.txt", u"Text\0*.txt\0\0"s},                       // no final bar: still terminated
      {u"Text|*.txt|All|*.*|", u"Text\0*.txt\0All\0*.*\0\0"s},
      {u"Text|*.txt|Lonely", u"Text\0*.txt\0\0"s},                // a description without pattern
      {u"Lonely", u"\0\0"s},
      {u"", u"\0\0"s},
      {u"|", u"\0\0"s},                                            // one empty part: no pair
      {u"Te\0xt|*.txt|"s, u"Te\0*.txt\0\0"s},                      // a NUL ends its part
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialogFilter(c.text), c.list) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(DialogColour, SwapsTheOuterBytesAndDropsWhatIsAbove24Bits) {
  EXPECT_EQ(swapRedBlue(0xFF0000), 0x0000FFu);
  EXPECT_EQ(swapRedBlue(0x123456), 0x563412u);
  EXPECT_EQ(swapRedBlue(0xAB123456), 0x563412u);
  EXPECT_EQ(swapRedBlue(swapRedBlue(0x00C0FFEE)), 0xC0FFEEu);
}

TEST(DialogMultiSelect, SplitsTheZeroSeparatedAnswer) {
  EXPECT_EQ(splitMultiSelect(u"C:\\a\0x.txt\0y.txt\0\0"s),
            (std::vector<std::u16string>{u"C:\\a", u"x.txt", u"y.txt"}));
  EXPECT_EQ(splitMultiSelect(u"C:\\a\\x.txt\0\0"s), (std::vector<std::u16string>{u"C:\\a\\x.txt"}));
  EXPECT_TRUE(splitMultiSelect(u"\0\0"s).empty());
  EXPECT_EQ(splitMultiSelect(u"unterminated"), (std::vector<std::u16string>{u"unterminated"}));
}

}  // namespace
}  // namespace vexil::hostobjects
