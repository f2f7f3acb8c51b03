#include "tools/vxpack/pe/resource_tree.h"

#include <map>

namespace vexil::pe {

namespace {

constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kNamed = 0x80000000u;

size_t align(size_t v, size_t to) { return (v + to - 1) / to * to; }

using Languages = std::map<uint16_t, const ResourceData*>;
using Names = std::map<ResourceId, Languages>;
using Types = std::map<ResourceId, Names>;

void putDirectoryHeader(std::vector<uint8_t>& out, size_t at, size_t named, size_t numbered) {
  put16(out, at + 12, uint16_t(named));
  put16(out, at + 14, uint16_t(numbered));
}

template <typename Map>
std::pair<size_t, size_t> counts(const Map& m) {
  size_t named = 0;
  for (auto& [id, _] : m) named += id.named;
  return {named, m.size() - named};
}

}  // namespace

std::vector<uint8_t> encodeResourceTree(const ResourceTable& table, uint32_t sectionRva) {
  Types types;
  for (auto& [key, data] : table) types[key.type][key.name][key.language] = &data;

  // Sizes: every directory, then the data entries, then the name strings, then the data.
  size_t directories = 16 + 8 * types.size(), entries = 0, strings = 0, data = 0;
  std::map<std::u16string, size_t> stringAt;
  auto addString = [&](const ResourceId& id) {
    if (id.named && stringAt.emplace(id.name, strings).second) strings += 2 + 2 * id.name.size();
  };
  for (auto& [type, names] : types) {
    addString(type);
    directories += 16 + 8 * names.size();
    for (auto& [name, languages] : names) {
      addString(name);
      directories += 16 + 8 * languages.size();
      entries += languages.size();
    }
  }
  size_t entriesStart = directories, stringsStart = entriesStart + 16 * entries;
  size_t dataStart = align(stringsStart + strings, 8);
  for (auto& [_, d] : table) data = align(data + d.bytes.size(), 8);
  std::vector<uint8_t> out(dataStart + data, 0);

  for (auto& [text, at] : stringAt) {
    put16(out, stringsStart + at, uint16_t(text.size()));
    for (size_t i = 0; i < text.size(); ++i) put16(out, stringsStart + at + 2 + 2 * i, uint16_t(text[i]));
  }
  auto idWord = [&](const ResourceId& id) {
    return id.named ? kNamed | uint32_t(stringsStart + stringAt.at(id.name)) : uint32_t(id.number);
  };

  // Directories breadth-first: the root, the type directories, the name directories.
  auto [rootNamed, rootNumbered] = counts(types);
  putDirectoryHeader(out, 0, rootNamed, rootNumbered);
  size_t nextDirectory = 16 + 8 * types.size(), nextEntry = entriesStart, nextData = dataStart;
  size_t rootSlot = 16;
  std::vector<std::pair<size_t, const Names*>> typeDirectories;
  for (auto& [type, names] : types) {
    put32(out, rootSlot, idWord(type));
    put32(out, rootSlot + 4, kSubdirectory | uint32_t(nextDirectory));
    rootSlot += 8;
    typeDirectories.emplace_back(nextDirectory, &names);
    nextDirectory += 16 + 8 * names.size();
  }
  for (auto& [at, names] : typeDirectories) {
    auto [named, numbered] = counts(*names);
    putDirectoryHeader(out, at, named, numbered);
    size_t slot = at + 16;
    for (auto& [name, languages] : *names) {
      put32(out, slot, idWord(name));
      put32(out, slot + 4, kSubdirectory | uint32_t(nextDirectory));
      slot += 8;
      putDirectoryHeader(out, nextDirectory, 0, languages.size());
      size_t languageSlot = nextDirectory + 16;
      for (auto& [language, item] : languages) {
        put32(out, languageSlot, language);
        put32(out, languageSlot + 4, uint32_t(nextEntry));
        languageSlot += 8;
        put32(out, nextEntry, uint32_t(sectionRva + nextData));
        put32(out, nextEntry + 4, uint32_t(item->bytes.size()));
        put32(out, nextEntry + 8, item->codePage);
        nextEntry += 16;
        std::copy(item->bytes.begin(), item->bytes.end(), out.begin() + long(nextData));
        nextData = align(nextData + item->bytes.size(), 8);
      }
      nextDirectory += 16 + 8 * languages.size();
    }
  }
  return out;
}

}  // namespace vexil::pe
