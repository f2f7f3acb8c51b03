#include "script/runtime/property_table.h"

#include <cstring>
#include <string>

#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/heap.h"
#include "script/runtime/name_index.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// Makes room for entries up to `count` (one more at a time in practice: the heap's power-of-two
// blocks leave room, so most growth returns the same block).
void growEntries(Engine& engine, PropertyTable* table, uint64_t count) {
  if (count > SIZE_MAX / sizeof(PropertyEntry) || count > UINT32_MAX) raiseOutOfMemory(engine);
  table->entries = static_cast<PropertyEntry*>(
      reallocBlock(engine, table->entries, size_t(count) * sizeof(PropertyEntry)));
}

uint32_t appendEntry(Engine& engine, PropertyTable* table, Atom atom, const Value& value) {
  growEntries(engine, table, uint64_t(table->count) + 1);
  PropertyEntry& e = table->entries[table->count];
  e.atom = atom;
  e.value = value;
  e.word = 0;
  return table->count++;
}

void deleteEntry(PropertyTable* table, uint32_t index) {
  table->entries[index].atom = kDeletedAtom;
  table->entries[index].value.setUndefined();
}

bool isEntryKey(const Value& key) { return key.tag == Tag::Integer && key.highWord() == 0; }

std::string keyName(const Value& key) { return stringToAnsiText(*key.string()); }

}  // namespace

PropertyTable* newTable(Engine& engine) {
  auto* table = static_cast<PropertyTable*>(allocBlock(engine, sizeof(PropertyTable)));
  std::memset(table, 0, sizeof(PropertyTable));
  return table;
}

// A prototype cycle would make a failed lookup walk forever; Brent's method spots one with a single
// comparison per link.
bool getProperty(Engine&, const PropertyTable* table, Atom atom, Value* out) {
  if (atom < 0) table = nullptr;  // the deleted-entry mark is no name
  const PropertyTable* saved = table;
  uint32_t steps = 0, power = 1;
  while (table) {
    if (const PropertyEntry* own = ownEntry(table, atom)) {
      *out = own->value;
      return true;
    }
    const PropertyEntry* entries = table->entries;
    const uint32_t count = table->count;
    // The link is the last "__proto__" entry that holds an Object.
    const PropertyTable* proto = nullptr;
    for (uint32_t i = count; i-- > 0;) {
      if (entries[i].atom == kAtomProto && entries[i].value.tag == Tag::Object) {
        proto = entries[i].value.table();
        break;
      }
    }
    if (proto == saved) break;
    if (++steps == power) {
      saved = proto;
      power *= 2;
      steps = 0;
    }
    table = proto;
  }
  out->setUndefined();
  return false;
}

Value getProperty(Engine& engine, const PropertyTable* table, Atom atom) {
  Value v;
  getProperty(engine, table, atom, &v);
  return v;
}

void setProperty(Engine& engine, PropertyTable* table, Atom atom, const Value& value) {
  if (atom < 0) return;
  const Value copy = value;  // the value may live in the entries that growth moves
  if (PropertyEntry* own = ownEntry(table, atom)) {
    own->value = copy;
    return;
  }
  // A new name takes the last hole, if there is one.
  int64_t hole = -1;
  for (uint32_t i = table->count; i-- > 0;) {
    if (table->entries[i].atom == kDeletedAtom) {
      hole = i;
      break;
    }
  }
  uint32_t index;
  if (hole >= 0) {
    index = uint32_t(hole);
    table->entries[index] = PropertyEntry{atom, copy, 0};
  } else {
    index = appendEntry(engine, table, atom, copy);
  }
  if (table->chains) indexName(engine, table, nameOf(engine, atom), index);
}

void removeProperty(Engine& engine, PropertyTable* table, Atom atom) {
  if (atom < 0) return;
  for (uint32_t i = 0; i < table->count; ++i) {
    if (table->entries[i].atom != atom) continue;
    deleteEntry(table, i);
    unindexName(table, nameOf(engine, atom));
    return;
  }
}

Value getByKey(Engine& engine, PropertyTable* table, const Value& key) {
  if (isEntryKey(key)) {
    uint32_t index = key.lowWord();
    return index < table->count ? table->entries[index].value : Value();
  }
  if (key.tag != Tag::String) return Value();
  ensureNameIndex(engine, table);
  NameNode* node = findIndexedName(table, keyName(key));
  return node ? table->entries[node->entry].value : Value();
}

// An Integer key writes the value at that position without touching the entry's name; positions
// beyond the end are filled with Undefined entries of atom 0 first.
void setByKey(Engine& engine, PropertyTable* table, const Value& key, const Value& value) {
  const Value copy = value;
  if (isEntryKey(key)) {
    uint32_t index = key.lowWord();
    if (index >= table->count) {
      growEntries(engine, table, uint64_t(index) + 1);
      for (uint32_t i = table->count; i <= index; ++i) table->entries[i] = PropertyEntry{0, Value(), 0};
      table->count = index + 1;
    }
    table->entries[index].value = copy;
    return;
  }
  if (key.tag != Tag::String) return;
  ensureNameIndex(engine, table);
  std::string name = keyName(key);
  if (NameNode* node = findIndexedName(table, name)) {
    table->entries[node->entry].value = copy;
    return;
  }
  Atom atom = intern(engine, name);
  uint32_t index = appendEntry(engine, table, atom, copy);
  indexName(engine, table, name, index);
}

void removeByKey(Engine& engine, PropertyTable* table, const Value& key) {
  if (isEntryKey(key)) {
    uint32_t index = key.lowWord();
    if (index >= table->count) return;
    Atom atom = table->entries[index].atom;
    if (atom != kDeletedAtom) unindexName(table, nameOf(engine, atom));
    deleteEntry(table, index);
    return;
  }
  if (key.tag != Tag::String) return;
  ensureNameIndex(engine, table);
  std::string name = keyName(key);
  if (NameNode* node = findIndexedName(table, name)) {
    uint32_t index = node->entry;
    unindexName(table, name);
    deleteEntry(table, index);
  }
}

bool nameAt(Engine& engine, PropertyTable* table, uint32_t n, Value* out) {
  ensureNameIndex(engine, table);
  for (int chain = 0; chain < kNameChainCount; ++chain) {
    if (n >= table->counts[chain]) {
      n -= table->counts[chain];
      continue;
    }
    NameNode* node = table->chains[chain];
    while (n--) node = node->next;
    *out = makeStringFromAnsi(engine, node->name, node->length);
    return true;
  }
  out->setUndefined();
  return false;
}

void attachTable(Engine& engine, Tag tag, PropertyTable** place) {
  PropertyTable* table = newTable(engine);
  int code = int(tag);
  NativeClass* descriptor = code >= 0 && code < kTagCount - 1 ? engine.classes[code] : nullptr;
  if (descriptor && descriptor->prototype) {
    setProperty(engine, table, kAtomProto, Value::fromObject(descriptor->prototype));
  }
  *place = table;
}

}  // namespace vexil::script
