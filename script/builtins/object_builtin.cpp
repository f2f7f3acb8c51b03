// Object: the global "Object" and the class of every Object value.
#include "script/builtins/builtin_texts.h"
#include "script/builtins/core_builtins.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

const Value* receiver(const HostCall& call) { return call.instance<Value>(); }

void objectToString(HostCall& call) {
  if (receiver(call)) *call.result = objectDescription(call.engine, "Object");
  else *call.result = makeStaticString(call.engine, kTypeFunction);
}

void objectToSource(HostCall& call) {
  if (!receiver(call)) *call.result = makeStaticString(call.engine, kNewObjectSource);
}

void objectValueOf(HostCall& call) {
  *call.result = receiver(call) ? *receiver(call) : globalSlot(call.engine, "Object");
}

bool wantsEmptyObject(const Arguments& args) {
  const Value* first = args.at(1);
  return !first || first->is(Tag::Undefined) || first->is(Tag::Null);
}

// Object(...): a new empty object, or the first argument as an object.
void objectCall(HostCall& call) {
  Engine& engine = call.engine;
  const Arguments& args = call.args;
  Value* result = call.result;
  if (args.count() == 0 || (args.count() == 1 && wantsEmptyObject(args))) {
    result->setObject(newTable(engine));
    return;
  }
  valueToObject(engine, *args.at(1), result);
}

// new Object(...): as the call, except that an object or any other unconvertible value is
// answered unchanged instead of raising.
void objectConstruct(HostCall& call) {
  Engine& engine = call.engine;
  const Arguments& args = call.args;
  Value* result = call.result;
  if (wantsEmptyObject(args)) {
    result->setObject(newTable(engine));
    return;
  }
  const Value& first = *args.at(1);
  switch (first.tag) {
    case Tag::Boolean:
    case Tag::Integer:
    case Tag::String:
    case Tag::Real:
    case Tag::Array:
    case Tag::Native:
    case Tag::Function:
    case Tag::NaN: valueToObject(engine, first, result); return;
    default: *result = first; return;
  }
}

const HostMethodEntry kObjectMethods[] = {
    {"toString", objectToString, true},
    {"toSource", objectToSource, true},
    {"valueOf", objectValueOf, true},
};

const HostClassInfo kObjectClass = {
    .name = "Object",
    .methods = kObjectMethods,
    .properties = {},
    .constants = {},
    .construct = objectConstruct,
    .call = objectCall,
};

}  // namespace

void registerObject(Engine& engine) {
  setClassDescriptor(engine, Tag::Object, defineHostClass(engine, kObjectClass));
}

}  // namespace vexil::script
