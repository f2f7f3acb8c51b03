// The bridge's plain arithmetic: automation dates, argument slots and out-parameter maps.
#include "objects/com/automation_values.h"

#include <gtest/gtest.h>

namespace vexil::objects::com {
namespace {

TEST(AutomationValues, DatesCountDaysFromTheLastDaysOf1899InUniversalTime) {
  struct Case {
    double timeValue;
    double date;
  } cases[] = {
      {kAutomationEpoch, 0.0},                        // 30 December 1899 00:00
      {kAutomationEpoch + 1.5 * 86400000.0, 1.5},     // 31 December 1899 12:00
      {0.0, 25569.0},                                 // 1 January 1970
      {kAutomationEpoch - 86400000.0 / 4, -0.25},     // before day 0
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(automationDate(c.timeValue), c.date) << c.timeValue;
    EXPECT_DOUBLE_EQ(timeValueOfAutomationDate(c.date), c.timeValue) << c.date;
  }
}

TEST(AutomationValues, OnlyIntegersOf32BitsTravelAsIntegers) {
  EXPECT_TRUE(fitsInt32(INT32_MIN));
  EXPECT_TRUE(fitsInt32(INT32_MAX));
  EXPECT_FALSE(fitsInt32(int64_t(INT32_MAX) + 1));
  EXPECT_FALSE(fitsInt32(int64_t(INT32_MIN) - 1));
}

TEST(AutomationValues, DeclaredParametersSitInReversedSlots) {
  EXPECT_EQ(argumentSlot(0, 3), 2u);
  EXPECT_EQ(argumentSlot(2, 3), 0u);
  EXPECT_EQ(argumentSlot(0, 1), 0u);
}

TEST(AutomationValues, OutParameterMapsHoldSixteenSlots) {
  OutParameterMap map;
  EXPECT_FALSE(map.contains(0));
  for (uint32_t slot = 0; slot < 20; ++slot) map.add(slot);
  EXPECT_EQ(map.count(), OutParameterMap::kCapacity);
  EXPECT_TRUE(map.contains(15));
  EXPECT_FALSE(map.contains(16));
  OutParameterMap wide;
  wide.add(0xFF);  // no such slot: never taken for the unused mark
  EXPECT_EQ(wide.count(), 0u);
}

}  // namespace
}  // namespace vexil::objects::com
