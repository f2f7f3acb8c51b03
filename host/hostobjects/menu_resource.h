#pragma once
// Prepared menus stored in the package ("MENUS" resources, decoded from their blob first): a
// header the runtime skips (three numbers, three texts), then a count and that many entries. An
// entry is its flags, two numbers nobody reads, the command text, the caption and an icon file
// name, and for a sub-menu a count and its own entries.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/hostobjects/hot_key_text.h"

namespace vexil::hostobjects {

inline constexpr uint32_t kMenuEntrySeparator = 0x01;
inline constexpr uint32_t kMenuEntryPopup = 0x02;
inline constexpr uint32_t kMenuEntryDisabled = 0x04;
inline constexpr uint32_t kMenuEntryChecked = 0x08;
inline constexpr uint32_t kMenuEntryGrayed = 0x10;
inline constexpr uint32_t kMenuEntryDefault = 0x40;

// Sub-menus deeper than this make the resource unreadable: a few bytes per level could otherwise
// run the decoder (and the system's menu code after it) out of stack.
inline constexpr int kMaxMenuDepth = 256;

struct MenuEntry {
  uint32_t flags = 0;
  std::string command;  // ANSI; empty when the resource has none
  std::string caption;
  std::string icon;
  std::vector<MenuEntry> items;  // a sub-menu's entries
};

// The top-level entries, or nothing when the data ends early or nests too deep.
std::optional<std::vector<MenuEntry>> readMenuResource(std::span<const uint8_t> bytes);

// The resource's bytes (before blob encoding) for entries: what a packager writes.
std::vector<uint8_t> writeMenuResource(const std::vector<MenuEntry>& entries);

// The accelerator a caption names after its first tab ("Open\tCTRL+O"), read as hot-key text;
// nothing when there is no tab, the text after it is blank, or it names no key.
std::optional<HotKey> captionAccelerator(std::string_view caption);

// An icon file name an item may name: a plain file name among the additional files, never a path
// (no separators, no drive, no "..").
bool isPlainIconName(std::string_view name);

}  // namespace vexil::hostobjects
