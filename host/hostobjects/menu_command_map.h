#pragma once
// The command ids of script menu items and what each stands for. A script names an item by its
// command text; the item gets a number from the class's own range, found from the text's hash so
// the same text tends to get the same id, and the main window hands every command in that range
// back here. One map per script host: the texts belong to that host's handler.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexil::hostobjects {

inline constexpr uint32_t kFirstMenuCommandId = 47000;
inline constexpr uint32_t kLastHashedMenuCommandId = 53998;
inline constexpr uint32_t kFirstSpareMenuCommandId = 54000;
inline constexpr uint32_t kLastMenuCommandId = 56998;
inline constexpr uint32_t kMenuCommandStride = 191;

// What an id stands for: the command text (ANSI) and the item's picture, as opaque system handles
// the Windows side owns (an icon and the bitmap drawn from it; null when none).
struct MenuCommand {
  std::string text;
  void* icon = nullptr;
  void* bitmap = nullptr;
};

class MenuCommandMap {
 public:
  // A free id for an item with this command text: the hashed slots first, then the spare range;
  // nothing when every id is taken (the item must then not be added).
  std::optional<uint32_t> freeId(std::string_view text) const;
  void put(uint32_t id, MenuCommand command) { commands_[id] = std::move(command); }
  const MenuCommand* find(uint32_t id) const;
  // Removes the id and answers what it held, so the caller can free the picture.
  std::optional<MenuCommand> take(uint32_t id);
  size_t size() const { return commands_.size(); }
  // Every entry, for freeing the pictures when the map goes.
  const std::unordered_map<uint32_t, MenuCommand>& entries() const { return commands_; }
  void clear() { commands_.clear(); }

 private:
  std::unordered_map<uint32_t, MenuCommand> commands_;
};

}  // namespace vexil::hostobjects
