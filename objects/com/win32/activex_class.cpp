#include "objects/com/win32/activex_class.h"

#include <memory>
#include <string>

#include "objects/com/win32/automation_errors.h"
#include "objects/com/win32/com_state.h"
#include "objects/com/win32/event_sinks.h"
#include "objects/com/win32/member_binding.h"
#include "platform/text_encoding.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects::com {

namespace {

using platform::ComPtr;
using script::Atom;
using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Value;

extern const script::HostClassInfo kActiveXClass;

// Entering the bridge is the safe moment to let go of what the collector finalised.
ComState& enter(HostCall& call) {
  ComState& state = *call.state<ComState>();
  state.releasePending();
  return state;
}

std::u16string atomText(Engine& engine, Atom name) {
  const char* text = script::nameOf(engine, name);
  return text ? platform::ansiToUtf16(text) : std::u16string();
}

// Adds the default source interface of a class to the list (once) and enters its members.
void addSourceInterface(ComState& state, ITypeInfo* coclass, std::vector<IID>& interfaces) {
  TYPEATTR* attr = nullptr;
  if (FAILED(coclass->GetTypeAttr(&attr)) || !attr) return;
  WORD implemented = attr->cImplTypes;
  coclass->ReleaseTypeAttr(attr);
  for (WORD j = 0; j < implemented; ++j) {
    INT flags = 0;
    if (FAILED(coclass->GetImplTypeFlags(j, &flags))) continue;
    if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) {
      continue;
    }
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> source;
    TYPEATTR* sourceAttr = nullptr;
    if (SUCCEEDED(coclass->GetRefTypeOfImplType(j, &reference)) &&
        SUCCEEDED(coclass->GetRefTypeInfo(reference, source.put())) && source &&
        SUCCEEDED(source->GetTypeAttr(&sourceAttr)) && sourceAttr) {
      IID iid = sourceAttr->guid;
      source->ReleaseTypeAttr(sourceAttr);
      bool known = false;
      for (const IID& seen : interfaces) known = known || seen == iid;
      if (!known) {
        interfaces.push_back(iid);
        state.eventMembers(iid, source.get());
      }
    }
    return;  // only the first default source is taken
  }
}

// The event interfaces of an object: its class's default source, or, when it cannot name its
// class, the default source of every class in its type library.
std::vector<IID> eventInterfaces(ComState& state, IDispatch* object) {
  std::vector<IID> interfaces;
  ComPtr<IProvideClassInfo> provider;
  ComPtr<ITypeInfo> info;
  if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo, provider.putVoid())) && provider &&
      SUCCEEDED(provider->GetClassInfo(info.put())) && info) {
    addSourceInterface(state, info.get(), interfaces);
    return interfaces;
  }
  ComPtr<ITypeLib> library;
  UINT index = 0;
  if (FAILED(object->GetTypeInfo(0, LOCALE_SYSTEM_DEFAULT, info.put())) || !info ||
      FAILED(info->GetContainingTypeLib(library.put(), &index)) || !library) {
    return interfaces;
  }
  UINT count = library->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    TYPEKIND kind;
    ComPtr<ITypeInfo> coclass;
    if (SUCCEEDED(library->GetTypeInfoType(i, &kind)) && kind == TKIND_COCLASS &&
        SUCCEEDED(library->GetTypeInfo(i, coclass.put())) && coclass) {
      addSourceInterface(state, coclass.get(), interfaces);
    }
  }
  return interfaces;
}

// A new ActiveXObject around object. Its events are looked up and connected when a script first
// sets a handler: most objects a script meets (collection items, results) never get one, and
// connecting costs several calls into the server, more for one in another process.
void publishObject(Engine& engine, NativeClass* cls, IDispatch* object, Value* target) {
  auto instance = std::make_unique<ActiveXInstance>();
  instance->object = ComPtr<IDispatch>(object);
  object->GetTypeInfo(0, LOCALE_USER_DEFAULT, instance->typeInfo.put());
  ActiveXInstance* published = script::publishInstance(engine, target, cls, std::move(instance));
  published->self = *target;
}

// The event handler for name, when name is one of the object's events: the sink is made and
// advised on first need. False when the object has no such event.
bool setEventHandler(Engine& engine, ComState& state, ActiveXInstance& instance, Atom name, const Value& function) {
  if (!instance.eventsKnown) {
    instance.eventInterfaces = eventInterfaces(state, instance.object.get());
    instance.eventsKnown = true;
  }
  std::u16string folded = atomText(engine, name);
  if (!folded.empty()) CharLowerBuffW(reinterpret_cast<wchar_t*>(folded.data()), DWORD(folded.size()));
  for (const IID& iid : instance.eventInterfaces) {
    const EventMembers* members = state.knownEventMembers(iid);
    if (!members) continue;
    auto found = members->find(folded);
    if (found == members->end()) continue;
    if (!instance.sink) {
      instance.sink = new ComEventSink(engine, instance.eventInterfaces);
      instance.sink->setOwner(instance.self);
      instance.sink->advise(instance.object.get());
    }
    instance.sink->setHandler(found->second.id, function, found->second.outputs);
    return true;
  }
  return false;
}

HRESULT createObject(const std::wstring& name, ComPtr<IDispatch>& object) {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(hr)) hr = CLSIDFromString(name.c_str(), &clsid);
  if (SUCCEEDED(hr)) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            object.putVoid());
  }
  // Not a class name: a display name (a file path, a "script:" or "winmgmts:" moniker ...).
  ComPtr<IBindCtx> context;
  ComPtr<IMoniker> moniker;
  ULONG eaten = 0;
  hr = CreateBindCtx(0, context.put());
  if (SUCCEEDED(hr)) hr = MkParseDisplayName(context.get(), name.c_str(), &eaten, moniker.put());
  if (SUCCEEDED(hr)) hr = moniker->BindToObject(context.get(), nullptr, IID_IDispatch, object.putVoid());
  if (SUCCEEDED(hr) && !object) hr = E_NOINTERFACE;
  return hr;
}

void construct(HostCall& call) {
  call.result->setNull();
  enter(call);
  std::optional<std::u16string> name = call.args.text(1);
  if (!name) return;
  ComPtr<IDispatch> object;
  HRESULT hr = createObject(platform::toWide(*name), object);
  if (FAILED(hr)) {
    std::string message = systemMessage(hr);
    traceBridgeProblem(call.engine, "ActiveXObject(\"" + platform::utf16ToAnsi(*name) + "\"): " +
                                        (message.empty() ? "the object could not be created" : message));
    return;
  }
  publishObject(call.engine, call.cls, object.get(), call.result);
}

// register/unregister: the library's own registration routine; true when it answers 0.
bool runRegistration(HostCall& call, const char* entry) {
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return false;
  platform::UniqueModule library(LoadLibraryW(platform::toWide(*path).c_str()));
  if (!library) return false;
  using Routine = HRESULT(STDAPICALLTYPE*)();
  auto routine = reinterpret_cast<Routine>(reinterpret_cast<void*>(GetProcAddress(library.get(), entry)));
  return routine && routine() == S_OK;
}

void registerServer(HostCall& call) { call.result->setBoolean(runRegistration(call, "DllRegisterServer")); }
void unregisterServer(HostCall& call) { call.result->setBoolean(runRegistration(call, "DllUnregisterServer")); }

void getTypeInfoCount(HostCall& call) {
  enter(call);
  UINT count = 0;
  call.instance<ActiveXInstance>()->object->GetTypeInfoCount(&count);
  call.result->setInteger(count);
}

void getPropertyNotify(HostCall& call) { call.result->setBoolean(call.instance<ActiveXInstance>()->propertySink); }

void setPropertyNotify(HostCall& call, const Value& value) {
  enter(call);
  auto* instance = call.instance<ActiveXInstance>();
  bool on = value.tag == script::Tag::Boolean ? value.boolean() : value.tag == script::Tag::Integer && value.integer();
  if (on && !instance->propertySink) {
    auto* sink = new PropertyNotifySink(call.engine, instance->object.get(), instance->self);
    instance->propertySink = sink;
    if (!sink->advise()) {
      instance->propertySink = nullptr;
      sink->detach();
      sink->Release();
    }
  } else if (!on && instance->propertySink) {
    PropertyNotifySink* sink = instance->propertySink;
    instance->propertySink = nullptr;
    sink->unadvise();
    sink->detach();
    sink->Release();
  }
}

void setChangedHandler(HostCall& call, const Value& value) {
  if (PropertyNotifySink* sink = call.instance<ActiveXInstance>()->propertySink) sink->setChangedHandler(value);
}
void setWillChangeHandler(HostCall& call, const Value& value) {
  if (PropertyNotifySink* sink = call.instance<ActiveXInstance>()->propertySink) sink->setWillChangeHandler(value);
}
void noValue(HostCall&) {}

// The plan for name, worked out on first use and kept: with the type's plans when bound through
// type information, with the object's own when bound late. Null when the object has no such name.
const MemberPlan* planFor(HostCall& call, ComState& state, ActiveXInstance& instance, Atom name, MemberUse use) {
  const uint64_t key = uint64_t(uint32_t(name)) << 2 | uint64_t(use);
  ITypeInfo* info = instance.typeInfo.get();
  if (info) {
    if (const MemberPlan* plan = state.findPlan(info, key)) return plan;
  }
  auto late = instance.latePlans.find(key);
  if (late != instance.latePlans.end()) return &late->second;
  MemberPlan plan;
  if (!planMember(instance.object.get(), info, atomText(call.engine, name), use, plan)) return nullptr;
  if (info && plan.kind != MemberPlan::Kind::Late) return &state.keepPlan(info, key, std::move(plan));
  return &instance.latePlans.emplace(key, std::move(plan)).first->second;
}

// Binds and invokes name; a property get that answered an object, called with one integer and
// taking no index of its own, is a collection read: the object's Item is called with it.
bool invokeNamed(HostCall& call, Atom name, MemberUse use, Value* args, uint32_t count) {
  ComState& state = enter(call);
  auto* instance = call.instance<ActiveXInstance>();
  const MemberPlan* plan = planFor(call, state, *instance, name, use);
  if (!plan) return false;
  const bool collectionRead = use != MemberUse::Put && count == 1 && args[0].tag == script::Tag::Integer &&
                              plan->isPropertyGetWithoutIndex();
  invokeMember(call.engine, instance->object.get(), *plan, use, args, count, call.result);
  if (!collectionRead) return true;
  auto* collection = script::instanceOf<ActiveXInstance>(*call.result, kActiveXClass);
  if (!collection) return true;
  script::StackRoots roots(call.engine);
  roots.hold(*call.result);  // keeps the collection alive through the call
  HostCall item{call.engine, call.cls, collection, call.args, call.result};
  if (const MemberPlan* itemPlan = planFor(item, state, *collection, script::intern(call.engine, "Item"),
                                           MemberUse::Call)) {
    invokeMember(call.engine, collection->object.get(), *itemPlan, MemberUse::Call, args, 1, call.result);
  }
  return true;
}

Value* argumentValues(const HostCall& call) {
  const Value* block = call.args.block();
  return block ? const_cast<Value*>(block + 1) : nullptr;  // the call's own stack slots
}

bool dynamicInvoke(HostCall& call, Atom name) {
  return invokeNamed(call, name, MemberUse::Call, argumentValues(call), call.args.count());
}

bool dynamicGet(HostCall& call, Atom name) { return invokeNamed(call, name, MemberUse::Get, nullptr, 0); }

bool dynamicSet(HostCall& call, Atom name, const Value& value) {
  ComState& state = enter(call);
  auto* instance = call.instance<ActiveXInstance>();
  if (script::isCallable(value) && setEventHandler(call.engine, state, *instance, name, value)) return true;
  script::StackRoots roots(call.engine);
  Value* argument = roots.hold(value);
  Value ignored;
  HostCall put{call.engine, call.cls, call.self, call.args, &ignored};
  return invokeNamed(put, name, MemberUse::Put, argument, 1);
}

void markInstance(Engine& engine, NativeClass*, void* data) {
  auto* instance = static_cast<ActiveXInstance*>(data);
  if (instance->sink) instance->sink->mark(engine);
  if (instance->propertySink) instance->propertySink->mark(engine);
}

void releaseInstance(NativeClass* cls, void* data) {
  auto* instance = static_cast<ActiveXInstance*>(data);
  if (!instance) return;  // the class object
  instance->detach();
  if (auto* state = static_cast<ComState*>(HostCall::classState(cls))) state->deferInstance(instance);
  else delete instance;
}

const script::HostMethodEntry kMethods[] = {
    {"register", registerServer, true},
    {"unregister", unregisterServer, true},
    {"GetTypeInfoCount", getTypeInfoCount},
};
const script::HostPropertyEntry kProperties[] = {
    {"EnablePropertyNotify", getPropertyNotify, setPropertyNotify},
    {"OnPropertyChanged", noValue, setChangedHandler},
    {"OnPropertyWillChange", noValue, setWillChangeHandler},
};
const script::HostDynamicMembers kDynamic = {dynamicInvoke, dynamicGet, dynamicSet};

const script::HostClassInfo kActiveXClass = {
    .name = "ActiveXObject",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = releaseInstance,
    .mark = markInstance,
    .state = &script::kPlainState<ComState>,
    .dynamic = &kDynamic,
};

}  // namespace

void registerActiveXObject(Engine& engine) { script::defineHostClass(engine, kActiveXClass); }

ComState* comState(Engine& engine) { return script::hostState<ComState>(engine, kActiveXClass); }

IDispatch* dispatchOf(const Value& value) {
  auto* instance = script::instanceOf<ActiveXInstance>(value, kActiveXClass);
  return instance ? instance->object.get() : nullptr;
}

void wrapDispatch(Engine& engine, IDispatch* object, Value* target) {
  target->setUndefined();
  NativeClass* cls = script::hostClass(engine, kActiveXClass);
  if (!cls || !object) return;
  publishObject(engine, cls, object, target);
}

int64_t handOutPointer(Engine& engine, IUnknown* object) {
  ComState* state = comState(engine);
  return state ? state->handOut(object) : 0;
}

IUnknown* handedOutPointer(Engine& engine, int64_t value) {
  ComState* state = comState(engine);
  return state ? state->handedOut(value) : nullptr;
}

}  // namespace vexil::objects::com
