// CallValue, CallMethod, CallName and New. Each finds the callee for the shape
// [args..., count, callee] at the top of the stack and either enters a script frame (its code runs
// at the next dispatch) or calls a native and pushes its result, so that the caller's Collapse
// removes the same values in every case.
#include "script/runtime/collector.h"
#include "script/runtime/messages.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/array_record.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"
#include "script/runtime/atom_table.h"
#include "script/vm/machine_run.h"

namespace vexil::script {

namespace {

Value* pushSlot(Engine& engine) {
  if (engine.sp <= engine.stack) raiseError(engine, "%s", kStackOverflow);
  engine.sp->setUndefined();
  return engine.sp--;
}

void pushResult(Engine& engine, const Value& v) { *pushSlot(engine) = v; }

// A script function runs in a new frame with the callee slot as its this.
void enterFunction(MachineRun& run, Value* calleeSlot, const Value& self, const Value& function) {
  CodeRecord* code = function.function()->code;
  *calleeSlot = self;
  enterFrame(run, code);
  collectionPoint(run.engine);
}

// Calls a native's call operation with the block at the count slot and pushes the result.
void callNativeFunction(MachineRun& run, NativeObject* object, Value* calleeSlot) {
  Engine& engine = run.engine;
  Value* block = calleeSlot + 1;
  checkedArgumentCount(run, block);
  Value* result = pushSlot(engine);
  object->cls->call(engine, object->cls, object->data, result, block);
  collectionPoint(engine);
}

bool isCallableNative(const Value& v) { return v.tag == Tag::Native && v.native()->cls && v.native()->cls->call; }

// A callable property of the table: a script function runs as a method of the receiver in the
// callee slot; a callable native is called as a function.
bool callTableMember(MachineRun& run, const PropertyTable* table, Atom name, Value* calleeSlot, const Value& self) {
  if (!table) return false;
  Value found;
  if (!getProperty(run.engine, table, name, &found)) return false;
  if (found.tag == Tag::Function) {
    enterFunction(run, calleeSlot, self, found);
    return true;
  }
  if (!isCallableNative(found)) return false;
  *calleeSlot = self;  // the receiver's table keeps the native alive during its call
  callNativeFunction(run, found.native(), calleeSlot);
  return true;
}

bool invokeClass(MachineRun& run, NativeClass* cls, void* receiver, Atom name, Value* calleeSlot) {
  if (!cls || !cls->invoke) return false;
  Engine& engine = run.engine;
  checkedArgumentCount(run, calleeSlot + 1);
  Value* result = pushSlot(engine);
  if (!cls->invoke(engine, cls, receiver, name, result, calleeSlot + 1)) {
    engine.sp++;
    return false;
  }
  collectionPoint(engine);
  return true;
}

// The method lookup for one receiver (held in `receiverSlot`, which stays on the stack while the
// method runs); the callee slot gets the receiver when a script method runs.
bool tryMethod(MachineRun& run, Value* receiverSlot, Atom name, Value* calleeSlot) {
  Value receiver = *receiverSlot;
  switch (receiver.tag) {
    case Tag::Native: {
      NativeObject* object = receiver.native();
      if (invokeClass(run, object->cls, object->data, name, calleeSlot)) return true;
      return callTableMember(run, nativeTable(object), name, calleeSlot, receiver);
    }
    case Tag::Object:
      if (callTableMember(run, receiver.table(), name, calleeSlot, receiver)) return true;
      return invokeClass(run, classDescriptor(run.engine, Tag::Object), receiverSlot, name, calleeSlot);
    default:
      if (invokeClass(run, classDescriptor(run.engine, receiver.tag), receiverSlot, name, calleeSlot)) return true;
      return callTableMember(run, attachedTable(receiver), name, calleeSlot, receiver);
  }
}

void notCallable(Engine& engine) {
  warn(engine, "%s", kCallUndefinedFunction);
  pushResult(engine, Value());
}

}  // namespace

void callValue(MachineRun& run) {
  Engine& engine = run.engine;
  Value* calleeSlot = engine.sp + 1;
  Value callee = *calleeSlot;
  if (callee.tag == Tag::Function) return enterFunction(run, calleeSlot, Value::null(), callee);
  if (!isCallableNative(callee)) return notCallable(engine);
  callNativeFunction(run, callee.native(), calleeSlot);
  *calleeSlot = Value::null();
}

void callMethod(MachineRun& run, Atom name) {
  Engine& engine = run.engine;
  Value* calleeSlot = engine.sp + 1;
  if (tryMethod(run, calleeSlot, name, calleeSlot)) return;
  warn(engine, kUnknownMethodFormat, nameOf(engine, name));
  pushResult(engine, Value());
}

// The with-scope values of the frame are offered the call first, as receivers of a method call.
void callName(MachineRun& run, Atom name) {
  uint32_t count = 0;
  Value* scopes = scopeValues(run, count);
  Value* calleeSlot = run.engine.sp + 1;
  Value callee = *calleeSlot;  // also held by the variable it was read from
  for (uint32_t i = 0; i < count; ++i) {
    *calleeSlot = scopes[i];  // the receiver, rooted in the callee slot while the lookup runs
    if (tryMethod(run, calleeSlot, name, calleeSlot)) return;
    scopes = scopeValues(run, count);
  }
  *calleeSlot = callee;
  callValue(run);
}

void constructNew(MachineRun& run) {
  Engine& engine = run.engine;
  Value* calleeSlot = engine.sp + 1;
  Value callee = *calleeSlot;
  if (callee.tag == Tag::Function) {
    ScriptFunction* function = callee.function();
    if (!function->props) attachTable(engine, Tag::Object, &function->props);
    Value* object = pushSlot(engine);
    object->setObject(newTable(engine));
    setProperty(engine, object->table(), kAtomProto, Value::fromObject(function->props));
    Value self = *object;
    engine.sp++;
    return enterFunction(run, calleeSlot, self, callee);
  }
  NativeClass* cls = callee.tag == Tag::Native ? callee.native()->cls : classDescriptor(engine, callee.tag);
  if (!cls || !cls->construct) {
    warn(engine, "%s", kInvalidConstructor);
    *calleeSlot = Value::null();
    pushResult(engine, Value::null());
    return;
  }
  checkedArgumentCount(run, calleeSlot + 1);
  Value* result = pushSlot(engine);
  cls->construct(engine, cls, calleeSlot + 1, result);
  *calleeSlot = *result;
  result->setUndefined();
  collectionPoint(engine);
}

}  // namespace vexil::script
