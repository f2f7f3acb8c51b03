#pragma once
// The one way host classes are written: a static description (name, member tables, constants, the
// construct and call handlers, the lifetime operations, per-engine state and item access) that
// defineHostClass turns into a NativeClass. Member names are interned at registration into the
// class data; invoke and property dispatch compare the requested atom with them in table order,
// and "toString" answers "[object <Name>]".
//
//   struct Socket { ... };
//   void socketConstruct(HostCall& call) {
//     if (!call.args.integer(1)) return;                           // unusable arguments: Null
//     call.publish(std::make_unique<Socket>(...));                 // the instance owns it now
//   }
//   void socketSend(HostCall& call) { call.instance<Socket>()->send(...); }
//   const HostMethodEntry kSocketMethods[] = {{"send", socketSend}, {"close", socketClose}};
//   const HostClassInfo kSocketClass = {.name = "Socket", .methods = kSocketMethods,
//                                       .construct = socketConstruct,
//                                       .release = deleteInstance<Socket>};
//   defineHostClass(engine, kSocketClass);
//
// Handlers read their arguments through call.args (absent or wrong-typed arguments read as
// absent) and write call.result, which starts as Undefined (as Null in construct, the value of an
// unusable construction).
//
// Identity: a value is an instance of a class when its class record was made from the same
// HostClassInfo (instanceOf below). The published global name plays no part, so a script that
// rebinds "Socket" cannot pass something else off as a socket.
//
// Ownership of instance data: publish, publishInstance and newInstance take a std::unique_ptr; from that call on
// the instance owns the data, and if making the instance fails (out of memory) the class's release
// operation has already freed it before the error propagates. Callers never free it themselves.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include "script/runtime/arguments.h"
#include "script/runtime/native_class.h"

namespace vexil::script {

struct HostClassInfo;

struct HostCall {
  Engine& engine;
  NativeClass* cls;
  void* self;  // the instance data; null on the class object and in construct
  Arguments args;
  Value* result;

  template <typename T>
  T* instance() const { return static_cast<T*>(self); }

  // The per-engine state of this call's class (see HostClassState); null when it has none.
  template <typename T>
  T* state() const { return static_cast<T*>(classState(cls)); }

  // Makes *result a new instance of this call's class that owns data.
  template <typename T>
  T* publish(std::unique_ptr<T> data) const;

  static void* classState(NativeClass* cls);
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

// A global function written as a host handler: call.self is null, call.cls its own class record.
struct HostFunctionEntry {
  const char* name;
  HostMethod run;
};

// State a class keeps once per engine (a fixed offset, the last match, a cached object), made at
// registration and reached from a call as call.state<T>() or from host code as
// hostState<T>(engine, info). It lives as long as the engine and is released with it.
struct HostClassState {
  void* (*create)(Engine& engine);
  void (*release)(void* state);
  // Marks the engine-heap values the state keeps; null when it keeps none.
  void (*mark)(Engine& engine, void* state) = nullptr;
};

// The standard state: a T made with new and deleted with the engine; T::mark(engine), when T
// has it, marks what it keeps.
template <typename T>
inline constexpr HostClassState kPlainState = {
    [](Engine&) -> void* { return new T(); },
    [](void* state) { delete static_cast<T*>(state); },
    [] {
      if constexpr (requires(T& t, Engine& e) { t.mark(e); }) {
        return +[](Engine& engine, void* state) { static_cast<T*>(state)->mark(engine); };
      } else {
        return static_cast<void (*)(Engine&, void*)>(nullptr);
      }
    }(),
};

// Element access on instances, for classes whose instances are collections: obj[key] reads and
// writes, and for-in steps. Each answers true when it handled the access (the result in
// call.result); false lets the usual rules for native values apply.
struct HostItems {
  bool (*get)(HostCall& call, const Value& key) = nullptr;
  bool (*set)(HostCall& call, const Value& key, const Value& value) = nullptr;
  // The index-th item of a for-in loop; false past the last one.
  bool (*at)(HostCall& call, uint64_t index) = nullptr;
};

// Members a class resolves by name at run time (an automation object's methods and properties),
// asked on open instances after the tables. Each answers false for a name it does not know, so the
// usual rules for native values apply (a read gives undefined, a write goes to the own table).
struct HostDynamicMembers {
  bool (*invoke)(HostCall& call, Atom name) = nullptr;  // obj.name(args); the arguments in call.args
  bool (*get)(HostCall& call, Atom name) = nullptr;     // obj.name, into call.result
  bool (*set)(HostCall& call, Atom name, const Value& value) = nullptr;
};

struct HostClassInfo {
  const char* name;
  std::span<const HostMethodEntry> methods = {};
  std::span<const HostPropertyEntry> properties = {};
  std::span<const HostConstant> constants = {};
  HostMethod construct = nullptr;  // new Name(...): publish an instance, or leave Null
  // Name(...) on the class object, or obj(...) on an instance; the result starts as Undefined, so a
  // constructor that serves as the call too writes its Null itself.
  HostMethod call = nullptr;
  ReleaseInstanceOp release = nullptr;
  MarkInstanceOp mark = nullptr;
  // Null: every instance answers. Otherwise an instance for which it is false (a closed stream or
  // socket) answers only what the class object answers, and "toString".
  bool (*isOpen)(const void* self) = nullptr;
  const HostClassState* state = nullptr;
  const HostItems* items = nullptr;
  const HostDynamicMembers* dynamic = nullptr;
};

// Registers the class under its name, with its constants and per-engine state. The description
// must outlive the engine; the engine keeps the class record for its whole life, whatever a script
// does to the global.
NativeClass* defineHostClass(Engine& engine, const HostClassInfo& info);
// Registers each function under its name.
void defineHostFunctions(Engine& engine, std::span<const HostFunctionEntry> functions);

// The class this engine made from info; null when it did not register it.
NativeClass* hostClass(const Engine& engine, const HostClassInfo& info);
// The per-engine state of the class made from info; null when not registered or stateless.
void* hostClassState(const Engine& engine, const HostClassInfo& info);
template <typename T>
T* hostState(const Engine& engine, const HostClassInfo& info) {
  return static_cast<T*>(hostClassState(engine, info));
}

// The description a class record was made from; null for classes not made by defineHostClass.
const HostClassInfo* hostClassInfo(const NativeClass* cls);
// True when the value is a Native (an instance or the class object) of the class made from info.
bool isHostValue(const Value& value, const HostClassInfo& info);
// The instance data of an instance of the class made from info; null for anything else, the
// class object included.
template <typename T>
T* instanceOf(const Value& value, const HostClassInfo& info) {
  return isHostValue(value, info) ? static_cast<T*>(value.native()->data) : nullptr;
}
// Argument i as an instance of the class; null when absent or of anything else.
template <typename T>
T* instanceArgument(const Arguments& args, uint32_t i, const HostClassInfo& info) {
  const Value* v = args.at(i);
  return v ? instanceOf<T>(*v, info) : nullptr;
}

// Makes *target a new instance of cls that owns data, and answers the data (see the ownership rule
// at the top of this file).
template <typename T>
T* publishInstance(Engine& engine, Value* target, NativeClass* cls, std::unique_ptr<T> data) {
  T* raw = data.get();
  makeNative(engine, target, cls, data.release());
  return raw;
}

template <typename T>
T* HostCall::publish(std::unique_ptr<T> data) const {
  return publishInstance(engine, result, cls, std::move(data));
}

// A new instance of the class made from info owning data, in *target; Null (and data freed) when
// this engine did not register the class.
template <typename T>
T* newInstance(Engine& engine, const HostClassInfo& info, Value* target, std::unique_ptr<T> data) {
  NativeClass* cls = hostClass(engine, info);
  if (!cls) {
    target->setNull();
    return nullptr;
  }
  return publishInstance(engine, target, cls, std::move(data));
}

// The standard release for instance data made with new.
template <typename T>
void deleteInstance(NativeClass*, void* data) {
  delete static_cast<T*>(data);
}

// Marks what the per-engine states of the registered classes keep (the collector marks the class
// records themselves, which the engine keeps as roots).
void markHostClassStates(Engine& engine);

// "[object <Name>]" as a static string.
Value objectDescription(Engine& engine, const char* className);

// UTF-16 text that lives as long as the process: fixed words that static strings can point at.
std::u16string_view persistentText(std::string_view ansi);

}  // namespace vexil::script
