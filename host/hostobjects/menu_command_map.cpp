#include "host/hostobjects/menu_command_map.h"

#include "script/runtime/string_hash.h"

namespace vexil::hostobjects {

std::optional<uint32_t> MenuCommandMap::freeId(std::string_view text) const {
  uint32_t hash = script::stringHash(text);
  for (uint32_t id = kFirstMenuCommandId + hash % kMenuCommandStride; id <= kLastHashedMenuCommandId;
       id += kMenuCommandStride) {
    if (!commands_.contains(id)) return id;
  }
  for (uint32_t id = kFirstSpareMenuCommandId; id <= kLastMenuCommandId; ++id) {
    if (!commands_.contains(id)) return id;
  }
  return std::nullopt;
}

const MenuCommand* MenuCommandMap::find(uint32_t id) const {
  auto found = commands_.find(id);
  return found == commands_.end() ? nullptr : &found->second;
}

std::optional<MenuCommand> MenuCommandMap::take(uint32_t id) {
  auto found = commands_.find(id);
  if (found == commands_.end()) return std::nullopt;
  MenuCommand command = std::move(found->second);
  commands_.erase(found);
  return command;
}

}  // namespace vexil::hostobjects
