#pragma once
// An engine with the core built-ins registered, and helpers that reach its globals the way the
// virtual machine will: call, new, method calls and property reads and writes through the classes.
#include <initializer_list>
#include <string>
#include <vector>

#include "script/builtins/core_builtins.h"
#include "script/runtime/arguments.h"
#include "script/runtime/call_entries.h"
#include "tests/script/conversions/conversion_fixture.h"

namespace vexil::script::test {

class BuiltinTest : public ConversionTest {
 protected:
  BuiltinTest() { config_.classes = &addCoreBuiltins(registry_); }

  Value global(const char* name) { return globalSlot(engine(), name); }

  // The described result of name(args...), or "failed: <message>".
  std::string call(const char* name, std::initializer_list<Value> args) {
    std::vector<Value> block = argumentBlock(args);
    if (!callGlobal(engine(), name, block.data())) return std::string("failed: ") + engine().message;
    return describe(engine().lastResult);
  }
  std::string invoke(const Value& receiver, const char* method, std::initializer_list<Value> args = {}) {
    std::vector<Value> block = argumentBlock(args);
    if (!callMethod(engine(), receiver, method, block.data())) return std::string("failed: ") + engine().message;
    return describe(engine().lastResult);
  }
  // new name(args...): the class's construct operation.
  std::string construct(const char* name, std::initializer_list<Value> args) {
    std::vector<Value> block = argumentBlock(args);
    NativeClass* cls = global(name).native()->cls;
    if (!cls->construct) return "no constructor";
    Value result;
    return attempt([&] { cls->construct(engine(), cls, block.data(), &result); return result; });
  }
  Value constructed(const char* name, std::initializer_list<Value> args) {
    std::vector<Value> block = argumentBlock(args);
    NativeClass* cls = global(name).native()->cls;
    Value result;
    cls->construct(engine(), cls, block.data(), &result);
    return result;
  }
  // Reads a property through the class of the receiver: a class object's or a value's descriptor.
  std::string property(Value receiver, const char* name) {
    Value out;
    if (!access(receiver, name, false, &out)) return "not handled";
    return describe(out);
  }
  bool assign(Value receiver, const char* name, Value value) { return access(receiver, name, true, &value); }

  ClassRegistry registry_;

 private:
  bool access(Value& receiver, const char* name, bool set, Value* value) {
    bool native = receiver.is(Tag::Native);
    NativeClass* cls = native ? receiver.native()->cls : classDescriptor(engine(), receiver.tag);
    if (!cls || !cls->property) return false;
    void* self = native ? receiver.native()->data : &receiver;
    return cls->property(engine(), cls, self, atom(name), set, value);
  }
};

}  // namespace vexil::script::test
