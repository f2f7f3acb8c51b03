#include "script/runtime/host_class.h"

#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

#include "platform/text_encoding.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// The class data: the info and one atom per member, methods first, then properties.
struct HostClassData {
  const HostClassInfo* info;

  Atom* atoms() { return reinterpret_cast<Atom*>(this + 1); }
  Atom methodAtom(size_t i) { return atoms()[i]; }
  Atom propertyAtom(size_t i) { return atoms()[info->methods.size() + i]; }
};

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
  } catch (...) {
    std::free(data);
    throw;
  }
  return data;
}

// The class object, and an instance that is no longer open, answer only the members marked for
// the class object.
bool answersAll(const HostClassInfo& info, const void* self) {
  return self && (!info.isOpen || info.isOpen(self));
}

bool hostInvoke(Engine& engine, NativeClass* cls, void* self, Atom method, Value* result, const Value* args) {
  auto* data = static_cast<HostClassData*>(cls->classData);
  const HostClassInfo& info = *data->info;
  for (size_t i = 0; i < info.methods.size(); ++i) {
    if (data->methodAtom(i) != method) continue;
    if (!info.methods[i].onClassObject && !answersAll(info, self)) break;
    result->setUndefined();
    HostCall call{engine, cls, self, Arguments(args), result};
    info.methods[i].run(call);
    return true;
  }
  if (method != kAtomToString) return false;
  *result = objectDescription(engine, info.name);
  return true;
}

bool hostProperty(Engine& engine, NativeClass* cls, void* self, Atom property, bool set, Value* value) {
  auto* data = static_cast<HostClassData*>(cls->classData);
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
  return false;
}

void releaseClassData(void* data) { std::free(data); }

}  // namespace

NativeClass* defineHostClass(Engine& engine, const HostClassInfo& info) {
  HostClassData* data = newClassData(engine, info);
  NativeClass* cls;
  try {
    cls = newClass(engine);
  } catch (...) {
    std::free(data);
    throw;
  }
  cls->classData = data;
  cls->releaseClassData = releaseClassData;
  cls->invoke = hostInvoke;
  cls->property = info.properties.empty() ? nullptr : hostProperty;
  cls->construct = info.construct;
  cls->call = info.call;
  cls->releaseInstance = info.release;
  cls->markInstance = info.mark;
  defineClass(engine, info.name, cls);
  for (const HostConstant& constant : info.constants) defineConstant(engine, constant.name, constant.value);
  return cls;
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
