#include "script/runtime/name_index.h"

#include <cstring>

#include "script/runtime/atom_table.h"
#include "script/runtime/heap.h"
#include "script/runtime/string_hash.h"

namespace vexil::script {

namespace {

constexpr uint32_t kNameChainMask = kNameChainCount - 1;

uint32_t chainOf(std::string_view name) { return stringHash(name) & kNameChainMask; }

bool nodeHasName(const NameNode* node, std::string_view name) {
  return node->length == name.size() && std::memcmp(node->name, name.data(), name.size()) == 0;
}

}  // namespace

NameNode* findIndexedName(const PropertyTable* table, std::string_view name) {
  if (!table->chains) return nullptr;
  for (NameNode* node = table->chains[chainOf(name)]; node; node = node->next) {
    if (nodeHasName(node, name)) return node;
  }
  return nullptr;
}

void indexName(Engine& engine, PropertyTable* table, std::string_view name, uint32_t entry) {
  if (NameNode* node = findIndexedName(table, name)) {
    node->entry = entry;
    return;
  }
  auto* copy = static_cast<char*>(allocBlock(engine, name.size() + 1));
  std::memcpy(copy, name.data(), name.size());
  copy[name.size()] = 0;
  auto* node = static_cast<NameNode*>(allocBlock(engine, sizeof(NameNode)));
  uint32_t chain = chainOf(name);
  node->name = copy;
  node->length = uint32_t(name.size());
  node->entry = entry;
  node->next = table->chains[chain];
  table->chains[chain] = node;
  ++table->counts[chain];
}

void unindexName(PropertyTable* table, std::string_view name) {
  if (!table->chains) return;
  uint32_t chain = chainOf(name);
  for (NameNode** link = &table->chains[chain]; *link; link = &(*link)->next) {
    if (nodeHasName(*link, name)) {
      *link = (*link)->next;
      --table->counts[chain];
      return;
    }
  }
}

void ensureNameIndex(Engine& engine, PropertyTable* table) {
  if (table->chains) return;
  auto* chains = static_cast<NameNode**>(allocBlock(engine, kNameChainCount * sizeof(NameNode*)));
  auto* counts = static_cast<uint32_t*>(allocBlock(engine, kNameChainCount * sizeof(uint32_t)));
  std::memset(chains, 0, kNameChainCount * sizeof(NameNode*));
  std::memset(counts, 0, kNameChainCount * sizeof(uint32_t));
  table->chains = chains;
  table->counts = counts;
  try {
    for (uint32_t i = 0; i < table->count; ++i) {
      Atom atom = table->entries[i].atom;
      if (atom != kDeletedAtom) indexName(engine, table, nameOf(engine, atom), i);
    }
  } catch (...) {
    // A half-built index would hide names for good; the next use builds it again.
    table->chains = nullptr;
    table->counts = nullptr;
    throw;
  }
}

}  // namespace vexil::script
