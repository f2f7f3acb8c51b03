// The plain logic of the Application and Preferences objects: command-line items and hot-key text.
#include <gtest/gtest.h>

#include "host/hostobjects/command_items.h"
#include "host/hostobjects/hot_key_text.h"

namespace vexil::hostobjects {
namespace {

using Items = std::vector<std::string>;

TEST(CommandItems, SplitsQuotedAndPlainItemsAfterTheProgramName) {
  struct Case {
    const char* line;
    Items items;
  } cases[] = {
      {"prog.scr /s \"a b\" 'c' d", {"/s", "a b", "c", "d"}},
      {"\"C:\\Program Files\\x.scr\" /s", {"/s"}},
      {"prog", {}},
      {"", {}},
      {"  \tprog   /p  1234  ", {"/p", "1234"}},
      {"prog a\tb c", {"a\tb", "c"}},        // a tab does not end an item
      {"prog \"\" '' x", {"x"}},            // empty items are dropped
      {"prog \"it's\" 'say \"hi\"'", {"it's", "say \"hi\""}},
      {"prog \"unterminated item", {"unterminated item"}},
      {"prog a\"b c", {"a\"b", "c"}},       // a quote inside an item is a character
  };
  for (const Case& c : cases) EXPECT_EQ(commandItems(c.line), c.items) << c.line;
}

std::string fakeKeyName(uint16_t key, bool extended) {
  std::string name = key >= 0x70 && key <= 0x7B ? "F" + std::to_string(key - 0x70 + 1) : std::string(1, char(key));
  return extended ? name + "(ext)" : name;
}

TEST(HotKeyText, ParsesModifiersAndKeyWords) {
  struct Case {
    const char* text;
    uint16_t key;
    uint16_t modifiers;
  } cases[] = {
      {"ctrl+alt+f5", 0x74, kHotKeyControl | kHotKeyAlt},
      {"Alt+Page Up", 'P', kHotKeyAlt},
      {"SHIFT+ins", 0x2D, kHotKeyShift | kHotKeyExtended},
      {"home", 0x24, kHotKeyExtended},
      {"End", 0x23, kHotKeyExtended},
      {"ctrl+num 7", 0x67, kHotKeyControl},
      {"f12", 0x7B, 0},
      {"f13", 'F', 0},                   // not a function key: its first character
      {"f", 'F', 0},
      {"q+w", 'W', 0},                   // the last key named wins
      {"ctrl+shift+alt", 0, kHotKeyControl | kHotKeyShift | kHotKeyAlt},
      {"", 0, 0},
      {"ctrl++x", 'X', kHotKeyControl},  // empty parts are skipped
  };
  for (const Case& c : cases) {
    HotKey hotKey = parseHotKeyText(c.text);
    EXPECT_EQ(hotKey.key, c.key) << c.text;
    EXPECT_EQ(hotKey.modifiers, c.modifiers) << c.text;
  }
}

TEST(HotKeyText, NamesModifiersInFixedOrderThenTheKey) {
  EXPECT_EQ(hotKeyText({0, kHotKeyControl}, fakeKeyName), kNoHotKey);
  EXPECT_EQ(hotKeyText({0x74, kHotKeyAlt | kHotKeyControl}, fakeKeyName), "CTRL+ALT+F5");
  EXPECT_EQ(hotKeyText({'Q', kHotKeyAlt | kHotKeyShift | kHotKeyControl}, fakeKeyName), "CTRL+SHIFT+ALT+Q");
  EXPECT_EQ(hotKeyText({0x24, kHotKeyExtended}, fakeKeyName), "$(ext)");
}

TEST(HotKeyText, RoundTripsThroughTheSystemNames) {
  for (const char* text : {"CTRL+ALT+F5", "SHIFT+F1", "ALT+P", "CTRL+SHIFT+ALT+F12"}) {
    EXPECT_EQ(hotKeyText(parseHotKeyText(text), fakeKeyName), text);
  }
}

}  // namespace
}  // namespace vexil::hostobjects
