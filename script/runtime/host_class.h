#pragma once
// The one way host classes are written: a static description (name, member tables, constants and
// the lifetime operations) that defineHostClass turns into a NativeClass. Member names are interned
// at registration into the class data; invoke and property dispatch compare the requested atom with
// them in table order, and "toString" answers "[object <Name>]".
//
//   const HostMethodEntry kSocketMethods[] = {{"send", socketSend}, {"close", socketClose}};
//   const HostClassInfo kSocketClass = {.name = "Socket", .methods = kSocketMethods, ...};
//   defineHostClass(engine, kSocketClass);
//
// Handlers read their arguments through call.args (absent or wrong-typed arguments read as
// absent) and write call.result, which starts as Undefined.
#include <cstdint>
#include <span>
#include <string_view>

#include "script/runtime/arguments.h"
#include "script/runtime/native_class.h"

namespace vexil::script {

struct HostCall {
  Engine& engine;
  NativeClass* cls;
  void* self;  // the instance data; null on the class object
  Arguments args;
  Value* result;

  template <typename T>
  T* instance() const { return static_cast<T*>(self); }
};

using HostMethod = void (*)(HostCall& call);
using HostGetter = void (*)(HostCall& call);
using HostSetter = void (*)(HostCall& call, const Value& value);

struct HostMethodEntry {
  const char* name;
  HostMethod run;
  bool onClassObject = false;  // also answered by the class object (null self)
};

struct HostPropertyEntry {
  const char* name;
  HostGetter get;
  HostSetter set = nullptr;  // null: read-only, a write is accepted and ignored
  bool onClassObject = false;
};

struct HostConstant {
  const char* name;  // begins with "$"
  uint32_t value;
};

struct HostClassInfo {
  const char* name;
  std::span<const HostMethodEntry> methods;
  std::span<const HostPropertyEntry> properties;
  std::span<const HostConstant> constants;
  ConstructOp construct = nullptr;
  CallOp call = nullptr;
  ReleaseInstanceOp release = nullptr;
  MarkInstanceOp mark = nullptr;
  // Null: every instance answers. Otherwise an instance for which it is false (a closed stream or
  // socket) answers only what the class object answers, and "toString".
  bool (*isOpen)(const void* self) = nullptr;
};

// Registers the class under its name, with its constants. The description must outlive the engine.
NativeClass* defineHostClass(Engine& engine, const HostClassInfo& info);

// "[object <Name>]" as a static string.
Value objectDescription(Engine& engine, const char* className);

// UTF-16 text that lives as long as the process: fixed words that static strings can point at.
std::u16string_view persistentText(std::string_view ansi);

}  // namespace vexil::script
