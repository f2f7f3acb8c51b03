#pragma once
// The name index of a property table: 128 chains of (name, entry position) nodes.
#include <string_view>

#include "script/runtime/property_table.h"

namespace vexil::script {

// Builds the index from the live entries, in entry order, unless it exists.
void ensureNameIndex(Engine& engine, PropertyTable* table);
// Adds a name, or points an existing node of that name at the entry.
void indexName(Engine& engine, PropertyTable* table, std::string_view name, uint32_t entry);
void unindexName(PropertyTable* table, std::string_view name);
// The node of a name, or null.
NameNode* findIndexedName(const PropertyTable* table, std::string_view name);

}  // namespace vexil::script
