// Enumerator: walks an automation collection through the enumerator its _NewEnum member answers.
#include <initializer_list>
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

// The collection's size: its Count, or (a DOM node list) its length; failing both, the elements a
// copy of the enumerator walks through.
bool collectionSize(HostCall& call, IDispatch* collection, ITypeInfo* info, IEnumVARIANT* items, uint32_t* size) {
  for (const char16_t* name : {u"Count", u"length"}) {
    VARIANT count;
    VariantInit(&count);
    MemberPlan plan;
    bool ok = planMember(collection, info, name, MemberUse::Call, plan) && invokeRaw(call.engine, collection, plan, &count) &&
              SUCCEEDED(VariantChangeType(&count, &count, 0, VT_I4)) && count.lVal >= 0;
    if (ok) *size = uint32_t(count.lVal);
    VariantClear(&count);
    if (ok) return true;
  }
  ComPtr<IEnumVARIANT> copy;
  if (FAILED(items->Clone(copy.put())) || !copy) return false;
  uint32_t n = 0;
  for (VARIANT element;; ++n) {
    VariantInit(&element);
    ULONG fetched = 0;
    bool more = copy->Next(1, &element, &fetched) == S_OK && fetched == 1;
    VariantClear(&element);
    if (!more) break;
  }
  *size = n;
  return true;
}

void construct(HostCall& call) {
  call.result->setNull();
  if (!enter(call)) return;
  const script::Value* argument = call.args.at(1);
  IDispatch* collection = argument ? dispatchOf(*argument) : nullptr;
  if (!collection) return;
  VARIANT items;
  VariantInit(&items);
  auto data = std::make_unique<EnumeratorData>();
  ComPtr<ITypeInfo> info;
  collection->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put());
  MemberPlan newEnum;
  bool ok = planMember(collection, info.get(), u"_NewEnum", MemberUse::Call, newEnum) &&
            invokeRaw(call.engine, collection, newEnum, &items) &&
            (items.vt == VT_UNKNOWN || items.vt == VT_DISPATCH) && items.punkVal &&
            SUCCEEDED(items.punkVal->QueryInterface(IID_IEnumVARIANT, data->items.putVoid())) && data->items &&
            collectionSize(call, collection, info.get(), data->items.get(), &data->count);
  VariantClear(&items);
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
