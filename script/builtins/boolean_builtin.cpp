// Boolean: the global "Boolean" and the class of every Boolean value.
#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

const Value* receiver(const HostCall& call) { return call.instance<Value>(); }

void booleanToString(HostCall& call) {
  const Value* self = receiver(call);
  if (!self) *call.result = makeStaticString(call.engine, kTypeFunction);
  else *call.result = booleanText(call.engine, self->boolean());
}

void booleanValueOf(HostCall& call) {
  *call.result = receiver(call) ? *receiver(call) : globalSlot(call.engine, "Boolean");
}

// Boolean(x) and new Boolean(x) alike give a plain Boolean.
void booleanCall(HostCall& call) {
  call.result->setBoolean(call.args.count() > 0 && valueToBoolean(call.engine, *call.args.at(1)));
}

const HostMethodEntry kBooleanMethods[] = {
    {"toString", booleanToString, true},
    {"valueOf", booleanValueOf, true},
};

const HostClassInfo kBooleanClass = {
    .name = "Boolean",
    .methods = kBooleanMethods,
    .properties = {},
    .constants = {},
    .construct = booleanCall,
    .call = booleanCall,
};

}  // namespace

void registerBoolean(Engine& engine) {
  setClassDescriptor(engine, Tag::Boolean, defineHostClass(engine, kBooleanClass));
  markOwnTextClass(engine, Tag::Boolean);
}

}  // namespace vexil::script
