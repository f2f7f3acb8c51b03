#include "script/runtime/call_entries.h"

#include "script/runtime/arguments.h"
#include "script/runtime/array_record.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/messages.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

namespace {

// The shape the virtual machine gives a call, from the stack pointer upwards: the result slot,
// this, the count, the arguments in order, the callee.
struct CallFrame {
  Value* result;
  Value* self;
  Value* args;   // the argument block, element 0 the count
  Value* callee;
  uint32_t blockSize;
};

CallFrame pushCall(Engine& engine, const Value& callee, const Value& self, const Value* block) {
  uint32_t n = Arguments::countOf(block);
  CallFrame frame;
  frame.callee = pushValue(engine, callee);
  for (uint32_t i = n; i >= 1; --i) pushValue(engine, block[i]);
  frame.args = pushValue(engine, Value::fromInteger(n));
  frame.self = pushValue(engine, self);
  frame.result = pushValue(engine, Value());
  frame.blockSize = n + 1;
  return frame;
}

void finishNative(Engine& engine, const CallFrame& frame) {
  collectionPoint(engine);
  engine.lastResult = *frame.result;
}

bool runScript(Engine& engine, const Value* self, const Value& function, const CallFrame& frame) {
  if (!engine.entries.runFunction) return false;
  engine.entries.runFunction(engine, self, function.function(), frame.args, frame.blockSize);
  return true;
}

// A Function property of the table (prototype links included), run as a method.
bool runTableMethod(Engine& engine, const PropertyTable* table, Atom method, const CallFrame& frame) {
  if (!table) return false;
  Value found;
  if (!getProperty(engine, table, method, &found) || found.tag != Tag::Function) return false;
  return runScript(engine, frame.self, found, frame);
}

bool invokeNative(Engine& engine, Atom method, const CallFrame& frame) {
  NativeObject* object = frame.self->native();
  NativeClass* cls = object->cls;
  if (cls && cls->invoke && cls->invoke(engine, cls, object->data, method, frame.result, frame.args)) {
    finishNative(engine, frame);
    return true;
  }
  return runTableMethod(engine, nativeTable(object), method, frame);
}

bool invokeDescribed(Engine& engine, Atom method, const CallFrame& frame) {
  NativeClass* cls = classDescriptor(engine, frame.self->tag);
  if (cls && cls->invoke && cls->invoke(engine, cls, frame.self, method, frame.result, frame.args)) {
    finishNative(engine, frame);
    return true;
  }
  return runTableMethod(engine, attachedTable(*frame.self), method, frame);
}

bool dispatchMethod(Engine& engine, Atom method, const CallFrame& frame) {
  switch (frame.self->tag) {
    case Tag::Native: return invokeNative(engine, method, frame);
    case Tag::Object: return runTableMethod(engine, frame.self->table(), method, frame);
    default: return invokeDescribed(engine, method, frame);
  }
}

bool dispatchCall(Engine& engine, const CallFrame& frame) {
  const Value& callee = *frame.callee;
  if (callee.tag == Tag::Function) return runScript(engine, nullptr, callee, frame);
  if (callee.tag != Tag::Native) return false;
  NativeObject* object = callee.native();
  if (!object->cls || !object->cls->call) return false;
  object->cls->call(engine, object->cls, object->data, frame.result, frame.args);
  finishNative(engine, frame);
  return true;
}

// Runs body as a host entry; `handled` false means body already wrote the failure's message.
template <typename Body>
bool hostEntry(Engine& engine, Body&& body) {
  engine.message[0] = 0;
  engine.lastResult.setUndefined();
  bool handled = false;
  bool ok = protectedCall(engine, [&] { handled = body(); });
  return ok && handled;
}

}  // namespace

bool callValue(Engine& engine, const Value& callee, const Value* args) {
  return hostEntry(engine, [&] {
    CallFrame frame = pushCall(engine, callee, Value::null(), args);
    if (dispatchCall(engine, frame)) return true;
    setMessage(engine, "%s", kCallUndefinedFunction);
    return false;
  });
}

bool callValueOn(Engine& engine, const Value& callee, const Value& self, const Value* args) {
  return hostEntry(engine, [&] {
    CallFrame frame = pushCall(engine, callee, self, args);
    if (frame.callee->tag == Tag::Function) return runScript(engine, frame.self, *frame.callee, frame);
    if (dispatchCall(engine, frame)) return true;
    setMessage(engine, "%s", kCallUndefinedFunction);
    return false;
  });
}

bool callGlobal(Engine& engine, const char* name, const Value* args) {
  Atom atom = findAtom(engine, name);
  Value callee = atom >= 0 ? engine.globals.data[atom] : Value();
  return callValue(engine, callee, args);
}

bool callMethod(Engine& engine, const Value& receiver, Atom method, const Value* args) {
  return hostEntry(engine, [&] {
    CallFrame frame = pushCall(engine, Value(), receiver, args);
    if (dispatchMethod(engine, method, frame)) return true;
    setMessage(engine, kUnknownMethodFormat, nameOf(engine, method));
    return false;
  });
}

bool callMethod(Engine& engine, const Value& receiver, const char* method, const Value* args) {
  Atom atom = findAtom(engine, method);
  if (atom < 0) {
    engine.lastResult.setUndefined();
    setMessage(engine, kUnknownMethodFormat, method);
    return false;
  }
  return callMethod(engine, receiver, atom, args);
}

}  // namespace vexil::script
