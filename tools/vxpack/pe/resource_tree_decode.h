#pragma once
// The reading half of resource_tree.h (a template: the caller says how addresses become bytes).
#include <set>
#include <string>

#include "tools/vxpack/pe/pe_layout.h"

namespace vexil::pe {

namespace tree_detail {

inline constexpr uint32_t kSubdirectory = 0x80000000u;
inline constexpr uint32_t kNamed = 0x80000000u;

struct Entry {
  ResourceId id;
  uint32_t target;
};

inline ResourceId entryId(std::span<const uint8_t> tree, uint32_t word) {
  if (!(word & kNamed)) {
    if (word > 0xFFFF) throw PeError("resource number out of range");
    return ResourceId::of(uint16_t(word));
  }
  size_t at = word & ~kNamed;
  size_t length = get16(tree, at);
  if (at + 2 + 2 * length > tree.size()) throw PeError("truncated resource name");
  ResourceId id{true, 0, {}};
  for (size_t i = 0; i < length; ++i) id.name += char16_t(get16(tree, at + 2 + 2 * i));
  return id;
}

// The entries of the directory at `at`; `subdirectories` says what every entry must point to.
inline std::vector<Entry> directory(std::span<const uint8_t> tree, uint32_t at, bool subdirectories) {
  size_t count = size_t(get16(tree, at + 12)) + get16(tree, at + 14);
  if (at + 16 + 8 * count > tree.size()) throw PeError("truncated resource directory");
  std::vector<Entry> entries;
  for (size_t i = 0; i < count; ++i) {
    uint32_t target = get32(tree, at + 16 + 8 * i + 4);
    if (bool(target & kSubdirectory) != subdirectories) throw PeError("resource tree of the wrong depth");
    entries.push_back({entryId(tree, get32(tree, at + 16 + 8 * i)), target & ~kSubdirectory});
  }
  return entries;
}

}  // namespace tree_detail

template <typename DataAt>
ResourceTable decodeResourceTree(std::span<const uint8_t> tree, DataAt dataAt) {
  using namespace tree_detail;
  ResourceTable table;
  // Directories may be shared between entries in a hand-made file; reading each at most once per
  // level keeps a hostile file from making the reader loop.
  std::set<uint32_t> seen;
  for (const Entry& type : directory(tree, 0, true)) {
    if (!seen.insert(type.target).second) throw PeError("resource directory used twice");
    for (const Entry& name : directory(tree, type.target, true)) {
      if (!seen.insert(name.target).second) throw PeError("resource directory used twice");
      for (const Entry& language : directory(tree, name.target, false)) {
        if (language.id.named) throw PeError("resource language given as a name");
        uint32_t rva = get32(tree, language.target), size = get32(tree, language.target + 4);
        auto bytes = dataAt(rva, size);
        ResourceData data{std::vector<uint8_t>(bytes.begin(), bytes.end()), get32(tree, language.target + 8)};
        table[ResourceKey{type.id, name.id, language.id.number}] = std::move(data);
      }
    }
  }
  return table;
}

}  // namespace vexil::pe
