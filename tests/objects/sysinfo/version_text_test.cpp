#include "objects/sysinfo/version_text.h"

#include <gtest/gtest.h>

namespace vexil::objects {
namespace {

TEST(VersionText, NamesTheFamiliesAndFormatsTheNumbers) {
  struct Case {
    SystemVersion version;
    const char* text;
  };
  const Case cases[] = {
      {{2, 5, 1, 2600, "Service Pack 3"}, "Windows XP 5.01.2600 Service Pack 3"},
      {{2, 5, 0, 2195, ""}, "Windows 2000 5.00.2195 "},
      {{2, 4, 0, 1381, "Service Pack 6"}, "Windows NT 4.00.1381 Service Pack 6"},
      {{2, 3, 51, 1057, ""}, "Windows NT 3.51.1057 "},
      {{1, 4, 0, 0x040003b6, ""}, "Windows 95 4.00.0950 "},  // the 9x family keeps other bits high
      {{1, 4, 10, 0x040a08ae, " A "}, "Windows 98 4.10.2222  A "},
      {{1, 4, 90, 0x045a0bb8, " "}, "Windows ME 4.90.3000  "},
      {{0, 3, 11, 0, ""}, "Windows 32s 3.11.0000 "},
      // Later systems have no name of their own here: the text starts with the numbers.
      {{2, 6, 1, 7601, "Service Pack 1"}, " 6.01.7601 Service Pack 1"},
      {{2, 10, 0, 19045, ""}, " 10.00.19045 "},
      {{2, 10, 0, 0x12345678, ""}, " 10.00.22136 "},
  };
  for (const Case& c : cases) EXPECT_EQ(systemVersionText(c.version), c.text) << c.text;
}

}  // namespace
}  // namespace vexil::objects
