#include "host/hostobjects/menu_resource.h"

#include "host/package/text_item.h"

namespace vexil::hostobjects {
namespace {

using package::ByteReader;

bool readEntries(ByteReader& in, std::vector<MenuEntry>& entries, int depth);

bool readEntry(ByteReader& in, MenuEntry& entry, int depth) {
  entry.flags = in.u32();
  in.u32();
  in.u32();
  entry.command = package::readTextItem(in).value_or("");
  entry.caption = package::readTextItem(in).value_or("");
  entry.icon = package::readTextItem(in).value_or("");
  if (in.failed()) return false;
  if (!(entry.flags & kMenuEntryPopup)) return true;
  if (depth >= kMaxMenuDepth) return false;
  return readEntries(in, entry.items, depth + 1);
}

// The count is never trusted for an allocation: entries are added as they are read, and every
// entry takes at least 24 bytes, so a lying count runs into the end of the data.
bool readEntries(ByteReader& in, std::vector<MenuEntry>& entries, int depth) {
  uint32_t count = in.u32();
  for (uint32_t i = 0; i < count && !in.failed(); ++i) {
    MenuEntry entry;
    if (!readEntry(in, entry, depth)) return false;
    entries.push_back(std::move(entry));
  }
  return !in.failed();
}

void writeEntries(package::ByteWriter& out, const std::vector<MenuEntry>& entries) {
  out.u32(uint32_t(entries.size()));
  for (const MenuEntry& entry : entries) {
    out.u32(entry.flags);
    out.u32(0);
    out.u32(0);
    package::writeTextItem(out, entry.command);
    package::writeTextItem(out, entry.caption);
    package::writeTextItem(out, entry.icon);
    if (entry.flags & kMenuEntryPopup) writeEntries(out, entry.items);
  }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::optional<std::vector<MenuEntry>> readMenuResource(std::span<const uint8_t> bytes) {
  ByteReader in(bytes);
  for (int i = 0; i < 3; ++i) in.u32();
  for (int i = 0; i < 3; ++i) package::readRawTextItem(in);
  std::vector<MenuEntry> entries;
  if (in.failed() || !readEntries(in, entries, 1)) return std::nullopt;
  return entries;
}

std::vector<uint8_t> writeMenuResource(const std::vector<MenuEntry>& entries) {
  package::ByteWriter out;
  for (int i = 0; i < 3; ++i) out.u32(0);
  for (int i = 0; i < 3; ++i) package::writeTextItem(out, std::string());
  writeEntries(out, entries);
  return out.take();
}

std::optional<HotKey> captionAccelerator(std::string_view caption) {
  size_t tab = caption.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  std::string_view keys = caption.substr(tab + 1);
  while (!keys.empty() && isBlank(keys.front())) keys.remove_prefix(1);
  while (!keys.empty() && isBlank(keys.back())) keys.remove_suffix(1);
  if (keys.empty()) return std::nullopt;
  HotKey hotKey = parseHotKeyText(keys);
  if (hotKey.key == 0) return std::nullopt;
  return hotKey;
}

bool isPlainIconName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace vexil::hostobjects
