#include "script/runtime/native_class.h"

#include <cstring>

#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/heap.h"
#include "script/runtime/array_record.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// A dead class's data may still be needed by the release operations of its dead instances later in
// the same sweep, so its release waits until the sweep is over.
void finalizeClass(void* self) {
  auto* cls = static_cast<NativeClass*>(self);
  if (cls->releaseClassData && cls->classData) {
    deferRelease(cls->releaseClassData, cls->classData);
  }
}

void finalizeObject(void* self) {
  auto* object = static_cast<NativeObject*>(self);
  NativeClass* cls = object->cls;
  if (cls && cls->releaseInstance) cls->releaseInstance(cls, object->data);
}

}  // namespace

NativeClass* newClass(Engine& engine) {
  auto* cls = static_cast<NativeClass*>(allocFinalized(engine, sizeof(NativeClass)));
  cls->finalizer = finalizeClass;
  cls->prototype = newTable(engine);
  setProperty(engine, cls->prototype, kAtomProto, Value::null());
  return cls;
}

// The object owns the data from here on, even when building it fails.
void makeNative(Engine& engine, Value* target, NativeClass* cls, void* data) {
  NativeObject* object;
  try {
    object = static_cast<NativeObject*>(allocFinalized(engine, sizeof(NativeObject)));
  } catch (...) {
    if (data && cls && cls->releaseInstance) cls->releaseInstance(cls, data);
    throw;
  }
  object->finalizer = finalizeObject;
  object->cls = cls;
  object->data = data;
  if (data) {
    object->props = newTable(engine);
    setProperty(engine, object->props, kAtomProto, Value::fromObject(cls->prototype));
  }
  target->setNative(object);
}

Value& globalSlot(Engine& engine, const char* name) {
  Atom atom = intern(engine, name);
  return engine.globals.data[atom];
}

void defineClass(Engine& engine, const char* name, NativeClass* cls) {
  Atom atom = intern(engine, name);
  Value object;
  makeNative(engine, &object, cls, nullptr);
  engine.globals.data[atom] = object;
}

NativeClass* defineFunction(Engine& engine, const char* name, CallOp function) {
  NativeClass* cls = newClass(engine);
  cls->call = function;
  defineClass(engine, name, cls);
  return cls;
}

void defineConstant(Engine& engine, const char* name, uint32_t value) {
  globalSlot(engine, name) = Value::fromInteger(int64_t(value));
}

bool isInstanceOf(Engine& engine, const Value& value, const char* className) {
  if (value.tag != Tag::Native || !value.native()->cls) return false;
  Atom atom = findAtom(engine, className);
  if (atom < 0) return false;
  const Value& published = engine.globals.data[atom];
  return published.tag == Tag::Native && published.native()->cls == value.native()->cls;
}

bool isCallable(const Value& value) {
  if (value.tag == Tag::Function) return true;
  return value.tag == Tag::Native && value.native()->cls && value.native()->cls->call;
}

PropertyTable* nativeTable(const NativeObject* object) {
  if (object->props) return object->props;
  return object->cls ? object->cls->prototype : nullptr;
}

PropertyTable** attachedPlace(const Value& value) {
  switch (value.tag) {
    case Tag::String: return &value.string()->props;
    case Tag::Array: return &value.array()->props;
    case Tag::Function: return &value.function()->props;
    default: return nullptr;
  }
}

PropertyTable* attachedTable(const Value& value) {
  PropertyTable** place = attachedPlace(value);
  return place ? *place : nullptr;
}

NativeClass* classDescriptor(const Engine& engine, Tag tag) {
  int code = int(tag);
  return code >= 0 && code < kTagCount - 1 ? engine.classes[code] : nullptr;
}

void setClassDescriptor(Engine& engine, Tag tag, NativeClass* cls) {
  int code = int(tag);
  if (code >= 0 && code < kTagCount - 1) {
    engine.classes[code] = cls;
    engine.ownTextTags &= ~(1u << code);
  }
}

void markOwnTextClass(Engine& engine, Tag tag) {
  int code = int(tag);
  if (code >= 0 && code < kTagCount - 1 && engine.classes[code]) engine.ownTextTags |= 1u << code;
}

bool hasOwnTextClass(const Engine& engine, Tag tag) {
  int code = int(tag);
  return code >= 0 && code < kTagCount - 1 && (engine.ownTextTags >> code) & 1;
}

}  // namespace vexil::script
