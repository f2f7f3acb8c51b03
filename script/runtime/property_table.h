#pragma once
// Objects are property tables: a flat array of (atom, value) entries searched in order. The
// prototype link is the ordinary property "__proto__", followed only when it holds an Object. A
// name index (128 chains) is built on first need for lookups by text and for for-in enumeration.
#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

inline constexpr Atom kDeletedAtom = -1;
inline constexpr int kNameChainCount = 128;

struct PropertyEntry {
  Atom atom;  // kDeletedAtom marks a hole that a later set reuses
  Value value;
  uint32_t word;
};

struct NameNode {
  NameNode* next;
  char* name;  // engine-heap copy, terminated
  uint32_t length;
  uint32_t entry;  // index of the entry that carries this name
};

struct PropertyTable {
  NameNode** chains;  // null until the name index is built
  uint32_t* counts;   // nodes per chain
  uint32_t count;     // entries, holes included
  PropertyEntry* entries;
};

PropertyTable* newTable(Engine& engine);

// The table's own entry for a name (no prototype walk), or null. The atom must be a name, not
// the hole mark.
inline PropertyEntry* ownEntry(const PropertyTable* table, Atom atom) {
  PropertyEntry* entries = table->entries;
  for (uint32_t i = 0, count = table->count; i < count; ++i) {
    if (entries[i].atom == atom) return &entries[i];
  }
  return nullptr;
}

// Looks the atom up here and along the prototype links; Undefined and false when absent.
bool getProperty(Engine& engine, const PropertyTable* table, Atom atom, Value* out);
Value getProperty(Engine& engine, const PropertyTable* table, Atom atom);
// Writes into this table only.
void setProperty(Engine& engine, PropertyTable* table, Atom atom, const Value& value);
void removeProperty(Engine& engine, PropertyTable* table, Atom atom);

// obj[key] for computed keys. An Integer key below 2^32 addresses an entry position (whatever its
// name); a String key goes through the name index. Neither follows prototype links.
Value getByKey(Engine& engine, PropertyTable* table, const Value& key);
void setByKey(Engine& engine, PropertyTable* table, const Value& key, const Value& value);
void removeByKey(Engine& engine, PropertyTable* table, const Value& key);

// The for-in step: the n-th own name in name-index order, as a String.
bool nameAt(Engine& engine, PropertyTable* table, uint32_t n, Value* out);

// A table whose "__proto__" is the prototype table of the tag's class descriptor (no link when the
// tag has none), stored in place.
void attachTable(Engine& engine, Tag tag, PropertyTable** place);

}  // namespace vexil::script
