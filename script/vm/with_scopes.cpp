// With statements: a frame's list of scope values (a ValueBlock in its mark slot), and the
// variable and call lookups that search it before the globals.
#include "script/runtime/atom_table.h"
#include "script/runtime/heap.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/value_block.h"
#include "script/vm/machine_run.h"
#include "script/vm/properties.h"
#include "script/vm/vm_messages.h"

namespace vexil::script {

namespace {

ValueBlock* scopeBlock(const MachineRun& run) {
  return run.fp ? static_cast<ValueBlock*>(run.fp[-2].pointer()) : nullptr;
}

}  // namespace

Value* scopeValues(const MachineRun& run, uint32_t& count) {
  ValueBlock* block = scopeBlock(run);
  count = block ? block->count : 0;
  return block ? block->values() : nullptr;
}

void pushScope(MachineRun& run, const Value& scope) {
  ValueBlock* block = scopeBlock(run);
  uint32_t count = block ? block->count : 0;
  Value held = scope;
  auto* grown = static_cast<ValueBlock*>(reallocBlock(run.engine, block, ValueBlock::bytesFor(count + 1)));
  grown->count = count + 1;
  grown->values()[count] = held;
  run.fp[-2].setPointer(Tag::FrameMark, grown);
}

void popScopes(MachineRun& run, uint32_t n) {
  ValueBlock* block = scopeBlock(run);
  if (block && block->count >= n) block->count -= n;
}

void readGlobal(Engine& engine, Atom name, Value* out) {
  *out = engine.globals.data[name];
  if (out->tag == Tag::Undefined && (engine.options & kOptionWarnUndefinedVariables))
    warn(engine, kUndefinedVariableFormat, nameOf(engine, name));
}

// `out` is a stack slot, used as the receiver slot while each scope is asked.
void pushVarScoped(MachineRun& run, Atom name, Value* out) {
  uint32_t count = 0;
  Value* scopes = scopeValues(run, count);
  for (uint32_t i = 0; i < count; ++i) {
    Value found;
    *out = scopes[i];
    if (lookupProperty(run.engine, out, name, &found)) {
      *out = found;
      return;
    }
    scopes = scopeValues(run, count);
  }
  readGlobal(run.engine, name, out);
}

void setVarScoped(MachineRun& run, Atom name, const Value& value) {
  uint32_t count = 0;
  Value* scopes = scopeValues(run, count);
  for (uint32_t i = 0; i < count; ++i) {
    Value scope = scopes[i];
    Value found;
    if (scope.tag == Tag::Object && getProperty(run.engine, scope.table(), name, &found)) {
      setProperty(run.engine, scope.table(), name, value);
      return;
    }
    if (scope.tag == Tag::Native) {
      NativeObject* native = scope.native();
      Value copy = value;
      if (native->cls && native->cls->property &&
          native->cls->property(run.engine, native->cls, native->data, name, true, &copy))
        return;
    }
    scopes = scopeValues(run, count);
  }
  run.engine.globals.data[name] = value;
}

void deleteVarScoped(MachineRun& run, Atom name) {
  uint32_t count = 0;
  Value* scopes = scopeValues(run, count);
  for (uint32_t i = 0; i < count; ++i) {
    Value found;
    if (scopes[i].tag == Tag::Object && getProperty(run.engine, scopes[i].table(), name, &found)) {
      removeProperty(run.engine, scopes[i].table(), name);
      return;
    }
  }
}

// A host object held by a variable is released at once by delete; other values stay.
void deleteHeldNative(Value& slot) {
  if (slot.tag != Tag::Native) return;
  NativeObject* native = slot.native();
  if (native->cls && native->cls->releaseInstance) native->cls->releaseInstance(native->cls, native->data);
  native->data = nullptr;
  slot.setUndefined();
}

}  // namespace vexil::script
