// The plain logic of script menus: command ids, prepared menus from the package, accelerator
// captions and icon names.
#include <gtest/gtest.h>

#include <set>

#include "host/hostobjects/menu_command_map.h"
#include "host/hostobjects/menu_resource.h"
#include "script/runtime/string_hash.h"

namespace vexil::hostobjects {
namespace {

TEST(MenuCommandMap, AFirstItemGetsTheSlotOfItsTextsHash) {
  MenuCommandMap map;
  for (const char* text : {"open", "close", "", "a much longer command text"}) {
    EXPECT_EQ(map.freeId(text), kFirstMenuCommandId + script::stringHash(text) % kMenuCommandStride) << text;
  }
}

TEST(MenuCommandMap, TheSameTextTwiceGetsTwoIdsAStrideApart) {
  MenuCommandMap map;
  uint32_t first = *map.freeId("open");
  map.put(first, {"open"});
  uint32_t second = *map.freeId("open");
  EXPECT_EQ(second, first + kMenuCommandStride);
  map.put(second, {"open"});
  EXPECT_EQ(map.find(first)->text, "open");
  EXPECT_EQ(map.find(second)->text, "open");
}

TEST(MenuCommandMap, HandsOutEveryIdOfTheRangeOnceThenRefuses) {
  MenuCommandMap map;
  std::set<uint32_t> ids;
  for (int i = 0;; ++i) {
    std::string text = "item " + std::to_string(i);
    auto id = map.freeId(text);
    if (!id) break;
    ASSERT_TRUE(ids.insert(*id).second) << *id;
    map.put(*id, {text});
  }
  // 47000..53998 by hash and stride, 54000..56998 spare; 53999 and 56999 are never given.
  EXPECT_EQ(ids.size(), size_t(kLastHashedMenuCommandId - kFirstMenuCommandId + 1) +
                            (kLastMenuCommandId - kFirstSpareMenuCommandId + 1));
  EXPECT_EQ(*ids.begin(), kFirstMenuCommandId);
  EXPECT_EQ(*ids.rbegin(), kLastMenuCommandId);
  EXPECT_FALSE(ids.contains(53999));
  EXPECT_FALSE(map.freeId("other text").has_value());
  // A freed id is handed out again, to a text whose stride holds it.
  uint32_t freed = kFirstMenuCommandId + script::stringHash("x") % kMenuCommandStride;
  ASSERT_TRUE(map.take(freed).has_value());
  EXPECT_EQ(map.freeId("x"), freed);
  EXPECT_FALSE(map.take(freed).has_value());
}

TEST(MenuCommandMap, OneTextFillsItsOwnStrideThenTheSpareRange) {
  MenuCommandMap map;
  uint32_t slot = script::stringHash("same") % kMenuCommandStride;
  size_t strideSlots = (kLastHashedMenuCommandId - kFirstMenuCommandId - slot) / kMenuCommandStride + 1;
  size_t given = 0;
  while (auto id = map.freeId("same")) {
    if (given < strideSlots) EXPECT_EQ(*id, kFirstMenuCommandId + slot + given * kMenuCommandStride);
    else EXPECT_EQ(*id, kFirstSpareMenuCommandId + (given - strideSlots));
    map.put(*id, {"same"});
    ++given;
  }
  EXPECT_EQ(given, strideSlots + (kLastMenuCommandId - kFirstSpareMenuCommandId + 1));
  // Another text still finds its own stride free.
  EXPECT_TRUE(map.freeId("different").has_value());
}

std::vector<MenuEntry> sampleMenu() {
  MenuEntry open{0x40, "open", "&Open\tCTRL+O", "open.ico", {}};
  MenuEntry line{kMenuEntrySeparator, "", "", "", {}};
  MenuEntry recent{kMenuEntryPopup, "", "Recent", "", {{kMenuEntryChecked | kMenuEntryGrayed, "r1", "One", "", {}}}};
  MenuEntry file{kMenuEntryPopup, "", "&File", "", {open, line, recent}};
  return {file, {kMenuEntryDisabled, "quit", "Quit", "", {}}};
}

void expectSame(const std::vector<MenuEntry>& a, const std::vector<MenuEntry>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].flags, b[i].flags);
    EXPECT_EQ(a[i].command, b[i].command);
    EXPECT_EQ(a[i].caption, b[i].caption);
    EXPECT_EQ(a[i].icon, b[i].icon);
    expectSame(a[i].items, b[i].items);
  }
}

TEST(MenuResource, ReadsBackWhatThePackagerWrites) {
  auto read = readMenuResource(writeMenuResource(sampleMenu()));
  ASSERT_TRUE(read.has_value());
  expectSame(*read, sampleMenu());
}

TEST(MenuResource, DataThatEndsEarlyIsRefusedAtEveryLength) {
  std::vector<uint8_t> bytes = writeMenuResource(sampleMenu());
  for (size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(readMenuResource(std::span(bytes).first(n)).has_value()) << n;
  }
}

TEST(MenuResource, ACountLargerThanTheDataIsRefusedWithoutAllocatingForIt) {
  std::vector<uint8_t> bytes = writeMenuResource({});
  bytes[bytes.size() - 4] = 0xFF;  // the count: 0x000000FF entries
  bytes[bytes.size() - 1] = 0x7F;
  EXPECT_FALSE(readMenuResource(bytes).has_value());
}

std::vector<MenuEntry> nested(int levels) {
  std::vector<MenuEntry> entries{{0, "leaf", "Leaf", "", {}}};
  for (int i = 0; i < levels; ++i) entries = {{kMenuEntryPopup, "", "Down", "", entries}};
  return entries;
}

TEST(MenuResource, NestingIsReadUpToItsLimitAndRefusedBeyond) {
  EXPECT_TRUE(readMenuResource(writeMenuResource(nested(kMaxMenuDepth - 1))).has_value());
  EXPECT_FALSE(readMenuResource(writeMenuResource(nested(kMaxMenuDepth))).has_value());
  EXPECT_FALSE(readMenuResource(writeMenuResource(nested(1000))).has_value());
}

TEST(MenuCaption, TheTextAfterTheFirstTabNamesTheAccelerator) {
  struct Case {
    const char* caption;
    uint16_t key;  // 0: none
    uint16_t modifiers;
  } cases[] = {
      {"Open\tCTRL+O", 'O', kHotKeyControl},
      {"Open\t  ctrl+shift+o  ", 'O', kHotKeyControl | kHotKeyShift},
      {"Save\tALT+F12", 0x7B, kHotKeyAlt},
      {"Reload\tF5", 0x74, 0},
      {"Two\ttabs\tCTRL+T", 'T', 0},  // the text after the first tab is read as one: its first key
      {"Open", 0, 0},
      {"Open\t", 0, 0},
      {"Open\t   ", 0, 0},
      {"Open\tCTRL+", 0, 0},
  };
  for (const Case& c : cases) {
    auto key = captionAccelerator(c.caption);
    if (c.key == 0) {
      EXPECT_FALSE(key.has_value()) << c.caption;
      continue;
    }
    ASSERT_TRUE(key.has_value()) << c.caption;
    EXPECT_EQ(key->key, c.key) << c.caption;
    EXPECT_EQ(key->modifiers, c.modifiers) << c.caption;
  }
}

TEST(MenuIconName, OnlyPlainFileNamesAreLookedUp) {
  struct Case {
    const char* name;
    bool plain;
  } cases[] = {
      {"open.ico", true}, {"my icon.ico", true}, {"", false},        {".", false},
      {"..", false},      {"..\\x.ico", false}, {"a/b.ico", false}, {"C:x.ico", false},
      {"\\\\server\\share\\x.ico", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isPlainIconName(c.name), c.plain) << c.name;
}

}  // namespace
}  // namespace vexil::hostobjects
