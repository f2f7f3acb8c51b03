#include <gtest/gtest.h>

#include <set>

#include "platform/environment.h"

using namespace vexil::platform;

TEST(Environment, GuidsAreFreshAndInRegistryForm) {
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::string g = newGuidText();
    ASSERT_EQ(g.size(), 38u);
    EXPECT_EQ(g.front(), '{');
    EXPECT_EQ(g.back(), '}');
    for (size_t k : {9u, 14u, 19u, 24u}) EXPECT_EQ(g[k], '-');
    EXPECT_EQ(g.find_first_not_of("{}-0123456789ABCDEF"), std::string::npos);
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), 100u);
}

TEST(Environment, VariablesAndWindowsDirectory) {
  EXPECT_FALSE(environmentVariable("VEXIL_SURELY_UNSET_VARIABLE"));
  EXPECT_FALSE(windowsDirectory().empty());
  int32_t offset = localTimeOffsetMinutes();
  EXPECT_GE(offset, -14 * 60);
  EXPECT_LE(offset, 14 * 60);
}
