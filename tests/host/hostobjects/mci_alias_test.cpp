// MCI aliases and packed time values.
#include <gtest/gtest.h>

#include "host/hostobjects/mci_alias.h"

namespace vexil::hostobjects {
namespace {

TEST(MciAlias, OnlyOnePlainWordIsAnAlias) {
  struct Case {
    std::string alias;
    bool plain;
  } cases[] = {
      {"music", true},          {"_Vexil_MCI_0", true},     {"a-b.c_1", true},
      {"", false},              {"two words", false},       {"x\" close all", false},
      {"x wait", false},        {"tab\there", false},       {std::string(127, 'a'), true},
      {std::string(128, 'a'), false}, {std::string("nul\0x", 5), false},
  };
  for (const Case& c : cases) EXPECT_EQ(isPlainMciAlias(c.alias), c.plain) << c.alias;
}

TEST(MciAlias, GeneratedAliasesCountUp) {
  EXPECT_EQ(generatedMciAlias(0), "_Vexil_MCI_0");
  EXPECT_EQ(generatedMciAlias(12), "_Vexil_MCI_12");
  EXPECT_TRUE(isPlainMciAlias(generatedMciAlias(4000000000u)));
}

TEST(MciTime, PacksAndUnpacksByBytes) {
  int64_t t = packMciTime(2, 3, 4, 5);
  EXPECT_EQ(t, 0x05040302);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(mciTimeByte(t, i), i + 2);
  EXPECT_EQ(packMciTime(0x1FF, 1, 1), 0x0101FF);  // the first part keeps its low byte
  EXPECT_EQ(mciTimeByte(-1, 3), 0xFF);
}

}  // namespace
}  // namespace vexil::hostobjects
