#include "script/vm/properties.h"

#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"
#include "script/vm/vm_messages.h"

namespace vexil::script {

namespace {

// "__proto__" of a native or primitive value reads its own table (or the class's prototype table)
// as an object; other names are read from that table along its prototype links.
bool readFallback(Engine& engine, PropertyTable* own, PropertyTable* prototype, Atom name, Value* out) {
  PropertyTable* table = own ? own : prototype;
  if (!table) return false;
  if (name == kAtomProto) {
    out->setObject(table);
    return true;
  }
  return getProperty(engine, table, name, out);
}

// Where a refused write goes: "__proto__" replaces the table (only with an object), anything else
// is written into it.
void writeFallback(Engine& engine, PropertyTable** table, Atom name, const Value& value) {
  if (name != kAtomProto) {
    setProperty(engine, *table, name, value);
  } else if (value.tag == Tag::Object) {
    *table = value.table();
  } else {
    warn(engine, kWrongTypeFormat, nameOf(engine, name));
  }
}

bool askClass(Engine& engine, NativeClass* cls, void* receiver, Atom name, bool set, Value* value) {
  return cls && cls->property && cls->property(engine, cls, receiver, name, set, value);
}

void writeNativeProperty(Engine& engine, NativeObject* object, Atom name, const Value& value) {
  NativeClass* cls = object->cls;
  if (!cls || !cls->property) {
    warn(engine, kUndefinedPropertyFormat, nameOf(engine, name));
    return;
  }
  Value copy = value;
  if (cls->property(engine, cls, object->data, name, true, &copy)) return;
  writeFallback(engine, object->props ? &object->props : &cls->prototype, name, value);
}

void writeDescribedProperty(Engine& engine, Value* object, Atom name, const Value& value) {
  NativeClass* cls = classDescriptor(engine, object->tag);
  PropertyTable** place = attachedPlace(*object);
  Value copy = value;
  if (askClass(engine, cls, object, name, true, &copy)) return;
  if (!place || !cls) {
    warn(engine, kUndefinedPropertyFormat, nameOf(engine, name));
    return;
  }
  if (!*place) attachTable(engine, object->tag, place);
  writeFallback(engine, place, name, value);
}

// A key as the atom of its text; -1 when no atom has that text (so no table has that name).
Atom keyAtom(Engine& engine, Value* key, bool create) {
  if (key->tag == Tag::Name) return key->atom();
  // A short plain-ASCII key is its own ANSI text: no conversion, no temporary string.
  if (key->tag == Tag::String && key->string()->length <= 64) {
    const ScriptString& s = *key->string();
    char ascii[64];
    uint32_t n = 0;
    while (n < s.length && s.chars[n] < 0x80) {
      ascii[n] = char(s.chars[n]);
      ++n;
    }
    if (n == s.length) {
      std::string_view name(ascii, n);
      return create ? intern(engine, name) : findAtom(engine, name);
    }
  }
  Value text;
  valueToString(engine, *key, &text);
  std::string ansi = stringToAnsiText(*text.string());
  return create ? intern(engine, ansi) : findAtom(engine, ansi);
}

// Element access that a collection class answers itself (its item operation); false when the
// value's class has none or declines.
bool classItem(Engine& engine, const Value& object, ItemAccess access, const Value& key, Value* value) {
  NativeObject* native = object.native();
  NativeClass* cls = native->cls;
  return cls && cls->item && cls->item(engine, cls, native->data, access, key, value);
}

bool numericIndex(const Value& key, uint64_t& index) {
  if (key.tag == Tag::Integer && key.integer() >= 0) {
    index = uint64_t(key.integer());
    return true;
  }
  if (key.tag == Tag::Real && key.real() >= 0 && key.real() < 18446744073709551616.0) {
    index = uint64_t(key.real());
    return true;
  }
  return false;
}

void readStringUnit(Engine& engine, const ScriptString& s, const Value& key, Value* out) {
  if (key.tag != Tag::Integer) {
    warn(engine, "%s", kInvalidIndex);
    out->setUndefined();
  } else if (key.integer() < 0 || key.integer() >= int64_t(s.length)) {
    warn(engine, "%s", kStringIndexOutOfRange);
    out->setUndefined();
  } else {
    out->setInteger(s.chars[key.integer()]);
  }
}

// Strings are mutable in place: every holder of the string sees the change. Writing past the end
// first pads with spaces.
void writeStringUnit(Engine& engine, ScriptString& s, const Value& key, const Value& value) {
  if (key.tag != Tag::Integer || key.integer() < 0 || key.integer() >= int64_t(UINT32_MAX)) {
    warn(engine, "%s", kInvalidIndex);
    return;
  }
  if (s.isStatic()) {
    warn(engine, "%s", kStaticStringChange);
    return;
  }
  char16_t unit;
  if (value.tag == Tag::Integer) {
    unit = char16_t(value.integer());
  } else if (value.tag == Tag::String && value.string()->length > 0) {
    unit = value.string()->chars[0];
  } else {
    warn(engine, "%s", kNonCharacterStore);
    return;
  }
  uint32_t at = uint32_t(key.integer());
  // The units change in this string only: a block shared with other strings is copied first,
  // and no later concatenation may write into this one's block.
  unshareUnits(engine, s);
  s.flags &= ~kStringTail;
  if (at >= s.length) {
    auto* units = static_cast<char16_t*>(reallocBlock(engine, s.units(), (size_t(at) + 1) * sizeof(char16_t)));
    for (uint32_t i = s.length; i < at; ++i) units[i] = u' ';
    s.chars = units;
    s.length = at + 1;
  }
  s.units()[at] = unit;
}

}  // namespace

bool lookupProperty(Engine& engine, Value* object, Atom name, Value* out) {
  out->setUndefined();
  switch (object->tag) {
    case Tag::Object: return getProperty(engine, object->table(), name, out);
    case Tag::Native: {
      NativeObject* native = object->native();
      NativeClass* cls = native->cls;
      if (askClass(engine, cls, native->data, name, false, out)) return true;
      out->setUndefined();
      return readFallback(engine, native->props, cls ? cls->prototype : nullptr, name, out);
    }
    default: {
      NativeClass* cls = classDescriptor(engine, object->tag);
      if (askClass(engine, cls, object, name, false, out)) return true;
      out->setUndefined();
      return readFallback(engine, attachedTable(*object), cls ? cls->prototype : nullptr, name, out);
    }
  }
}

void readProperty(Engine& engine, Value* object, Atom name, Value* out) {
  if (!lookupProperty(engine, object, name, out)) warn(engine, kUndefinedPropertyFormat, nameOf(engine, name));
}

void writeProperty(Engine& engine, Value* object, Atom name, const Value& value) {
  switch (object->tag) {
    case Tag::Object: setProperty(engine, object->table(), name, value); return;
    case Tag::Native: writeNativeProperty(engine, object->native(), name, value); return;
    case Tag::String:
    case Tag::Array:
    case Tag::Function: writeDescribedProperty(engine, object, name, value); return;
    default: warn(engine, kUndefinedPropertyFormat, nameOf(engine, name)); return;
  }
}

void deleteProperty(Engine& engine, const Value& object, Atom name) {
  if (object.tag == Tag::Object) removeProperty(engine, object.table(), name);
}

void readElement(Engine& engine, Value* object, Value* key, Value* out) {
  uint64_t index = 0;
  switch (object->tag) {
    case Tag::Object: {
      Atom atom = keyAtom(engine, key, false);
      out->setUndefined();
      if (atom >= 0) getProperty(engine, object->table(), atom, out);
      return;
    }
    case Tag::Array: {
      if (!numericIndex(*key, index)) {
        if (key->tag != Tag::Integer && key->tag != Tag::Real) warn(engine, "%s", kInvalidIndex);
        out->setUndefined();
        return;
      }
      const Value* element = findElement(*object->array(), index);
      *out = element ? *element : Value();
      return;
    }
    case Tag::String: readStringUnit(engine, *object->string(), *key, out); return;
    case Tag::Native:
      if (classItem(engine, *object, ItemAccess::Get, *key, out)) return;
      if (key->tag == Tag::Integer) {
        out->setUndefined();
      } else if (key->tag == Tag::String) {
        Atom atom = keyAtom(engine, key, true);
        readProperty(engine, object, atom, out);
      } else {
        warn(engine, "%s", kInvalidIndex);
        out->setUndefined();
      }
      return;
    default: out->setUndefined(); return;
  }
}

void writeElement(Engine& engine, Value* object, Value* key, const Value& value) {
  uint64_t index = 0;
  switch (object->tag) {
    case Tag::Object: setProperty(engine, object->table(), keyAtom(engine, key, true), value); return;
    case Tag::Array:
      if (numericIndex(*key, index)) {
        storeElement(engine, *object->array(), index, value);
      } else {
        warn(engine, "%s", kInvalidIndex);
      }
      return;
    case Tag::String: writeStringUnit(engine, *object->string(), *key, value); return;
    case Tag::Native: {
      Value item = value;
      if (classItem(engine, *object, ItemAccess::Set, *key, &item)) return;
      if (key->tag == Tag::String) {
        writeProperty(engine, object, keyAtom(engine, key, true), value);
      } else if (key->tag != Tag::Integer) {
        warn(engine, "%s", kInvalidIndex);
      }
      return;
    }
    default: return;
  }
}

void deleteElement(Engine& engine, Value* object, Value* key) {
  uint64_t index = 0;
  if (object->tag == Tag::Object) {
    Atom atom = keyAtom(engine, key, false);
    if (atom >= 0) removeProperty(engine, object->table(), atom);
  } else if (object->tag == Tag::Array && numericIndex(*key, index)) {
    removeElement(engine, *object->array(), index);
  }
}

bool forInItem(Engine& engine, const Value& object, int64_t index, Value* item) {
  item->setUndefined();
  if (index < 0) return false;
  switch (object.tag) {
    case Tag::Object: return nameAt(engine, object.table(), uint32_t(index), item) && index <= int64_t(UINT32_MAX);
    case Tag::Array: {
      if (uint64_t(index) >= object.array()->length()) return false;
      const Value* element = findElement(*object.array(), uint64_t(index));
      if (element) *item = *element;
      return true;
    }
    case Tag::String:
      if (index >= int64_t(object.string()->length)) return false;
      item->setInteger(object.string()->chars[index]);
      return true;
    case Tag::Native: return classItem(engine, object, ItemAccess::At, Value::fromInteger(index), item);
    default: return false;
  }
}

}  // namespace vexil::script
