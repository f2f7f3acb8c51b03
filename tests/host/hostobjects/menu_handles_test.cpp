// The system side of script menus under Wine: menus built from prepared entries, destroyed with
// every sub-menu and id (Wine's GetGuiResources always answers 0, so handles are checked one by
// one), destruction held back while a pop-up is open, and accelerators read from captions.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "host/hostobjects/menu_handles.h"

namespace vexil::hostobjects {
namespace {

std::vector<MenuEntry> sample() {
  MenuEntry open{0x40, "open", "&Open\tCTRL+O", "", {}};
  MenuEntry line{kMenuEntrySeparator, "", "", "", {}};
  MenuEntry deep{kMenuEntryPopup, "", "Deep", "", {{kMenuEntryChecked, "deep", "Deep item\tALT+F5", "", {}}}};
  MenuEntry recent{kMenuEntryPopup, "", "Recent", "", {{kMenuEntryGrayed, "r1", "One", "", {}}, deep}};
  MenuEntry file{kMenuEntryPopup, "", "&File", "", {open, line, recent}};
  return {file, {kMenuEntryDisabled, "quit", "Quit", "", {}}};
}

void collectMenus(HMENU menu, std::vector<HMENU>& menus) {
  menus.push_back(menu);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) collectMenus(sub, menus);
  }
}

TEST(MenuHandles, ABuiltMenuHoldsTheEntriesWithTheirStates) {
  MenuShared shared;
  HMENU bar = buildMenu(shared, sample());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuDefaultItem(file, TRUE, 0), 0u);
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_DISABLED);
  UINT open = GetMenuItemID(file, 0);
  ASSERT_NE(shared.commands.find(open), nullptr);
  EXPECT_EQ(shared.commands.find(open)->text, "open");
  EXPECT_EQ(shared.commands.size(), 4u);
  destroyMenu(shared, bar);
}

TEST(MenuHandles, DestroyingAMenuDestroysEverySubMenuAndFreesEveryId) {
  MenuShared shared;
  for (int round = 0; round < 1000; ++round) {
    HMENU bar = buildMenu(shared, sample());
    ASSERT_NE(bar, nullptr) << round;
    std::vector<HMENU> menus;
    collectMenus(bar, menus);
    ASSERT_EQ(menus.size(), 4u);
    destroyMenu(shared, bar);
    for (HMENU menu : menus) ASSERT_FALSE(IsMenu(menu)) << round;
    ASSERT_EQ(shared.commands.size(), 0u) << round;
  }
}

TEST(MenuHandles, AMenuOpenAsAPopUpIsDestroyedWhenItCloses) {
  MenuShared shared;
  HMENU bar = buildMenu(shared, sample());
  shared.shown.insert(bar);
  destroyMenu(shared, bar);
  EXPECT_TRUE(IsMenu(bar));
  EXPECT_EQ(shared.commands.size(), 4u);  // the choice being made can still be read
  shared.shown.erase(bar);
  destroyDeferredMenus(shared);
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_EQ(shared.commands.size(), 0u);
}

TEST(MenuHandles, AcceleratorsComeFromTheCaptionsOfEveryLevel) {
  MenuShared shared;
  HMENU bar = buildMenu(shared, sample());
  HACCEL table = buildAccelerators(bar);
  ASSERT_NE(table, nullptr);
  ACCEL entries[8];
  int count = CopyAcceleratorTableW(table, entries, 8);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FCONTROL);
  EXPECT_EQ(entries[0].key, 'O');
  EXPECT_EQ(shared.commands.find(entries[0].cmd)->text, "open");
  EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FALT);
  EXPECT_EQ(entries[1].key, VK_F5);
  EXPECT_EQ(shared.commands.find(entries[1].cmd)->text, "deep");
  shared.accelerators.push_back(table);
  dropAccelerators(shared, table);
  EXPECT_EQ(table, nullptr);
  EXPECT_TRUE(shared.accelerators.empty());
  destroyMenu(shared, bar);
}

}  // namespace
}  // namespace vexil::hostobjects
