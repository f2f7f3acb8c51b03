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

// The class data: the spec and one atom per member, methods first, then properties.
struct HostClassData {
  const HostClassSpec* spec;

  Atom* atoms() { return reinterpret_cast<Atom*>(this + 1); }
  Atom methodAtom(size_t i) { return atoms()[i]; }
  Atom propertyAtom(size_t i) { return atoms()[spec->methods.size() + i]; }
};

HostClassData* newClassData(Engine& engine, const HostClassSpec& spec) {
  size_t members = spec.methods.size() + spec.properties.size();
  size_t bytes = sizeof(HostClassData) + members * sizeof(Atom);
  auto* data = static_cast<HostClassData*>(std::calloc(1, bytes));
  if (!data) raiseOutOfMemory(engine);
  data->spec = &spec;
  try {
    Atom* atoms = data->atoms();
    for (const HostMethodEntry& m : spec.methods) *atoms++ = intern(engine, m.name);
    for (const HostPropertyEntry& p : spec.properties) *atoms++ = intern(engine, p.name);
  } catch (...) {
    std::free(data);
    throw;
  }
  return data;
}

bool hostInvoke(Engine& engine, NativeClass* cls, void* self, Atom method, Value* result, const Value* args) {
  auto* data = static_cast<HostClassData*>(cls->classData);
  const HostClassSpec& spec = *data->spec;
  for (size_t i = 0; i < spec.methods.size(); ++i) {
    if (data->methodAtom(i) != method) continue;
    if (!self && !spec.methods[i].onClassObject) return false;
    result->setUndefined();
    HostCall call{engine, cls, self, Arguments(args), result};
    spec.methods[i].run(call);
    return true;
  }
  if (method != kAtomToString) return false;
  *result = objectDescription(engine, spec.name);
  return true;
}

bool hostProperty(Engine& engine, NativeClass* cls, void* self, Atom property, bool set, Value* value) {
  auto* data = static_cast<HostClassData*>(cls->classData);
  const HostClassSpec& spec = *data->spec;
  for (size_t i = 0; i < spec.properties.size(); ++i) {
    if (data->propertyAtom(i) != property) continue;
    const HostPropertyEntry& entry = spec.properties[i];
    if (!self && !entry.onClassObject) return false;
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

NativeClass* defineHostClass(Engine& engine, const HostClassSpec& spec) {
  HostClassData* data = newClassData(engine, spec);
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
  cls->property = spec.properties.empty() ? nullptr : hostProperty;
  cls->construct = spec.construct;
  cls->call = spec.call;
  cls->releaseInstance = spec.release;
  cls->markInstance = spec.mark;
  defineClass(engine, spec.name, cls);
  for (const HostConstant& constant : spec.constants) defineConstant(engine, constant.name, constant.value);
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
