// Enumerator: walks an automation collection through the enumerator its _NewEnum member answers.
#include <memory>

#include "objects/com/win32/activex_class.h"
#include "objects/com/win32/com_state.h"
#include "objects/com/win32/member_binding.h"
#include "objects/com/win32/variant_conversion.h"
#include "script/runtime/host_class.h"

namespace vexil::objects::com {

namespace {

using platform::ComPtr;
using script::HostCall;
using script::NativeClass;

struct EnumeratorData {
  uint32_t count = 0;
  uint32_t position = 0;
  ComPtr<IEnumVARIANT> items;
};


ComState* enter(HostCall& call) {
  auto* state = call.state<ComState>();
  if (state) state->releasePending();
  return state;
}

// The member invoked with no arguments, its result as a VARIANT; false when it cannot be bound
// or fails (after its trace line).
bool invokeForVariant(HostCall& call, IDispatch* collection, const char16_t* name, VARIANT* out) {
  BoundMember member;
  if (!member.bind(collection, name, MemberUse::Call)) return false;
  return member.invokeRaw(call.engine, collection, out);
}

void construct(HostCall& call) {
  call.result->setNull();
  if (!enter(call)) return;
  const script::Value* argument = call.args.at(1);
  IDispatch* collection = argument ? dispatchOf(*argument) : nullptr;
  if (!collection) return;
  VARIANT items, count;
  VariantInit(&items);
  VariantInit(&count);
  auto data = std::make_unique<EnumeratorData>();
  bool ok = invokeForVariant(call, collection, u"_NewEnum", &items) &&
            (items.vt == VT_UNKNOWN || items.vt == VT_DISPATCH) && items.punkVal &&
            SUCCEEDED(items.punkVal->QueryInterface(IID_IEnumVARIANT, data->items.putVoid())) && data->items &&
            invokeForVariant(call, collection, u"Count", &count) &&
            SUCCEEDED(VariantChangeType(&count, &count, 0, VT_I4)) && count.lVal >= 0;
  if (ok) data->count = uint32_t(count.lVal);
  VariantClear(&items);
  VariantClear(&count);
  if (ok) call.publish(std::move(data));
}

void atEnd(HostCall& call) {
  auto* data = call.instance<EnumeratorData>();
  call.result->setBoolean(data->position >= data->count);
}

void item(HostCall& call) {
  enter(call);
  VARIANT element;
  VariantInit(&element);
  ULONG fetched = 0;
  if (call.instance<EnumeratorData>()->items->Next(1, &element, &fetched) == S_OK && fetched == 1) {
    fromVariant(call.engine, element, VT_VARIANT, call.result);
  }
  VariantClear(&element);
}

void moveFirst(HostCall& call) {
  enter(call);
  auto* data = call.instance<EnumeratorData>();
  if (SUCCEEDED(data->items->Reset())) data->position = 0;
}

void moveNext(HostCall& call) { ++call.instance<EnumeratorData>()->position; }

void releaseEnumerator(NativeClass* cls, void* raw) {
  std::unique_ptr<EnumeratorData> data(static_cast<EnumeratorData*>(raw));
  if (!data) return;  // the class object
  auto* state = static_cast<ComState*>(HostCall::classState(cls));
  if (state && data->items) state->deferRelease(data->items.detach());
}

// Enumerators share the bridge's state, which ActiveXObject (registered first) owns: it outlives
// every instance of either class.
const script::HostClassState kSharedState = {
    [](script::Engine& engine) -> void* { return comState(engine); },
    [](void*) {},
};

const script::HostMethodEntry kMethods[] = {
    {"atEnd", atEnd},
    {"item", item},
    {"moveFirst", moveFirst},
    {"moveNext", moveNext},
};

const script::HostClassInfo kEnumeratorClass = {
    .name = "Enumerator",
    .methods = kMethods,
    .construct = construct,
    .call = construct,
    .release = releaseEnumerator,
    .state = &kSharedState,
};

}  // namespace

void registerEnumerator(script::Engine& engine) { script::defineHostClass(engine, kEnumeratorClass); }

}  // namespace vexil::objects::com
