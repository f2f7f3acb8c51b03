#pragma once
// Property and element access of the machine, for every kind of receiver: objects read and write
// their tables, natives ask their class and fall back to their own or prototype table, primitive
// values ask the class descriptor of their tag and fall back to the table attached to them.
//
// Receivers and keys are stack slots: they stay reachable while a class operation runs script, and
// descriptor operations get the slot itself as their receiver.
#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

// Reads object.name into out; false (out Undefined) when nothing answers. No warning.
bool lookupProperty(Engine& engine, Value* object, Atom name, Value* out);
// GetProperty: as lookupProperty, with the undefined-property warning when nothing answers.
void readProperty(Engine& engine, Value* object, Atom name, Value* out);
// SetProperty.
void writeProperty(Engine& engine, Value* object, Atom name, const Value& value);
// DeleteProperty.
void deleteProperty(Engine& engine, const Value& object, Atom name);

// GetElement, SetElement and DeleteElement.
void readElement(Engine& engine, Value* object, Value* key, Value* out);
void writeElement(Engine& engine, Value* object, Value* key, const Value& value);
void deleteElement(Engine& engine, Value* object, Value* key);

// The for-in step: the item at index, false past the end.
bool forInItem(Engine& engine, const Value& object, int64_t index, Value* item);

}  // namespace vexil::script
