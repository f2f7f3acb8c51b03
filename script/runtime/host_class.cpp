#include "script/runtime/host_class.h"

#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

#include "platform/text_encoding.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// The class data: the info, the class's per-engine state and one atom per member, methods
// first, then properties.
struct HostClassData {
  const HostClassInfo* info;
  void* state;

  Atom* atoms() { return reinterpret_cast<Atom*>(this + 1); }
  Atom methodAtom(size_t i) { return atoms()[i]; }
  Atom propertyAtom(size_t i) { return atoms()[info->methods.size() + i]; }
};

void releaseClassData(void* raw) {
  auto* data = static_cast<HostClassData*>(raw);
  if (data->state) data->info->state->release(data->state);
  std::free(data);
}

HostClassData* newClassData(Engine& engine, const HostClassInfo& info) {
  size_t members = info.methods.size() + info.properties.size();
  size_t bytes = sizeof(HostClassData) + members * sizeof(Atom);
  auto* data = static_cast<HostClassData*>(std::calloc(1, bytes));
  if (!data) raiseOutOfMemory(engine);
  data->info = &info;
  try {
    Atom* atoms = data->atoms();
    for (const HostMethodEntry& m : info.methods) *atoms++ = intern(engine, m.name);
    for (const HostPropertyEntry& p : info.properties) *atoms++ = intern(engine, p.name);
    if (info.state) data->state = info.state->create(engine);
  } catch (...) {
    releaseClassData(data);
    throw;
  }
  return data;
}

HostClassData* dataOf(NativeClass* cls) { return static_cast<HostClassData*>(cls->classData); }

// The class object, and an instance that is no longer open, answer only the members marked for
// the class object.
bool answersAll(const HostClassInfo& info, const void* self) {
  return self && (!info.isOpen || info.isOpen(self));
}

bool hostInvoke(Engine& engine, NativeClass* cls, void* self, Atom method, Value* result, const Value* args) {
  HostClassData* data = dataOf(cls);
  const HostClassInfo& info = *data->info;
  for (size_t i = 0; i < info.methods.size(); ++i) {
    if (data->methodAtom(i) != method) continue;
    if (!info.methods[i].onClassObject && !answersAll(info, self)) break;
    result->setUndefined();
    HostCall call{engine, cls, self, Arguments(args), result};
    info.methods[i].run(call);
    return true;
  }
  if (method == kAtomToString) {
    *result = objectDescription(engine, info.name);
    return true;
  }
  if (!info.dynamic || !info.dynamic->invoke || !answersAll(info, self)) return false;
  result->setUndefined();
  HostCall call{engine, cls, self, Arguments(args), result};
  return info.dynamic->invoke(call, method);
}

bool hostProperty(Engine& engine, NativeClass* cls, void* self, Atom property, bool set, Value* value) {
  HostClassData* data = dataOf(cls);
  const HostClassInfo& info = *data->info;
  for (size_t i = 0; i < info.properties.size(); ++i) {
    if (data->propertyAtom(i) != property) continue;
    const HostPropertyEntry& entry = info.properties[i];
    if (!entry.onClassObject && !answersAll(info, self)) return false;
    HostCall call{engine, cls, self, Arguments(nullptr), value};
    if (set) {
      if (entry.set) entry.set(call, Value(*value));
    } else {
      value->setUndefined();
      entry.get(call);
    }
    return true;
  }
  const HostDynamicMembers* dynamic = info.dynamic;
  if (!dynamic || !answersAll(info, self)) return false;
  HostCall call{engine, cls, self, Arguments(nullptr), value};
  if (set) return dynamic->set && dynamic->set(call, property, Value(*value));
  if (!dynamic->get) return false;
  value->setUndefined();
  return dynamic->get(call, property);
}

// new on the class: the result starts as Null, the constructors' failure value.
void hostConstruct(Engine& engine, NativeClass* cls, const Value* args, Value* result) {
  result->setNull();
  HostCall call{engine, cls, nullptr, Arguments(args), result};
  dataOf(cls)->info->construct(call);
}

void hostCallOp(Engine& engine, NativeClass* cls, void* self, Value* result, const Value* args) {
  result->setUndefined();
  HostCall call{engine, cls, self, Arguments(args), result};
  dataOf(cls)->info->call(call);
}

bool hostItem(Engine& engine, NativeClass* cls, void* self, ItemAccess access, const Value& key, Value* value) {
  const HostClassInfo& info = *dataOf(cls)->info;
  if (!answersAll(info, self)) return false;
  const HostItems& items = *info.items;
  switch (access) {
    case ItemAccess::Get: {
      if (!items.get) return false;
      value->setUndefined();
      HostCall call{engine, cls, self, Arguments(nullptr), value};
      return items.get(call, key);
    }
    case ItemAccess::Set: {
      if (!items.set) return false;
      Value ignored;
      HostCall call{engine, cls, self, Arguments(nullptr), &ignored};
      return items.set(call, key, Value(*value));
    }
    case ItemAccess::At: {
      if (!items.at || key.tag != Tag::Integer || key.integer() < 0) return false;
      value->setUndefined();
      HostCall call{engine, cls, self, Arguments(nullptr), value};
      return items.at(call, uint64_t(key.integer()));
    }
  }
  return false;
}

// A host function's class data is its static table entry.
void hostFunctionCall(Engine& engine, NativeClass* cls, void*, Value* result, const Value* args) {
  result->setUndefined();
  HostCall call{engine, cls, nullptr, Arguments(args), result};
  static_cast<const HostFunctionEntry*>(cls->classData)->run(call);
}

}  // namespace

void* HostCall::classState(NativeClass* cls) {
  return cls && cls->invoke == hostInvoke ? dataOf(cls)->state : nullptr;
}

NativeClass* defineHostClass(Engine& engine, const HostClassInfo& info) {
  HostClassData* data = newClassData(engine, info);
  NativeClass* cls;
  try {
    cls = newClass(engine);
    engine.hostClasses.push_back({&info, cls});
  } catch (...) {
    releaseClassData(data);
    throw;
  }
  // From here the class record owns the data; the engine's list keeps the record alive.
  cls->classData = data;
  cls->releaseClassData = releaseClassData;
  cls->invoke = hostInvoke;
  cls->property = info.properties.empty() && !info.dynamic ? nullptr : hostProperty;
  cls->construct = info.construct ? hostConstruct : nullptr;
  cls->call = info.call ? hostCallOp : nullptr;
  cls->releaseInstance = info.release;
  cls->markInstance = info.mark;
  cls->item = info.items ? hostItem : nullptr;
  defineClass(engine, info.name, cls);
  for (const HostConstant& constant : info.constants) defineConstant(engine, constant.name, constant.value);
  return cls;
}

void defineHostFunctions(Engine& engine, std::span<const HostFunctionEntry> functions) {
  for (const HostFunctionEntry& function : functions) {
    NativeClass* cls = defineFunction(engine, function.name, hostFunctionCall);
    cls->classData = const_cast<HostFunctionEntry*>(&function);
    engine.hostFunctions.push_back(&function);
  }
}

NativeClass* hostClass(const Engine& engine, const HostClassInfo& info) {
  for (const HostClassRecord& record : engine.hostClasses) {
    if (record.info == &info) return record.cls;
  }
  return nullptr;
}

void* hostClassState(const Engine& engine, const HostClassInfo& info) {
  NativeClass* cls = hostClass(engine, info);
  return cls ? dataOf(cls)->state : nullptr;
}

const HostClassInfo* hostClassInfo(const NativeClass* cls) {
  return cls && cls->invoke == hostInvoke ? static_cast<const HostClassData*>(cls->classData)->info : nullptr;
}

bool isHostValue(const Value& value, const HostClassInfo& info) {
  return value.tag == Tag::Native && hostClassInfo(value.native()->cls) == &info;
}

void markHostClassStates(Engine& engine) {
  for (const HostClassRecord& record : engine.hostClasses) {
    HostClassData* data = dataOf(record.cls);
    if (data->state && record.info->state->mark) record.info->state->mark(engine, data->state);
  }
}

std::u16string_view persistentText(std::string_view ansi) {
  static std::mutex lock;
  static std::set<std::u16string, std::less<>> texts;
  std::u16string wide = platform::ansiToUtf16(ansi);
  std::lock_guard<std::mutex> guard(lock);
  return *texts.insert(std::move(wide)).first;
}

Value objectDescription(Engine& engine, const char* className) {
  std::u16string_view text = persistentText(std::string("[object ") + className + "]");
  return makeStaticString(engine, text.data(), text.size());
}

}  // namespace vexil::script
