#include <string>
#include <vector>

#include "runtime_fixture.h"
#include "script/runtime/arguments.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/messages.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_function.h"

namespace vexil::script::test {
namespace {

// A stand-in for the virtual machine: a script function's "code" is a tag telling what to do.
struct ScriptCall {
  ScriptFunction* function;
  Value self;
  std::vector<Value> args;
};
std::vector<ScriptCall> gScriptCalls;

void fakeRunFunction(Engine& engine, const Value* self, ScriptFunction* function, const Value* args,
                     uint32_t blockSize) {
  ScriptCall call{function, self ? *self : Value::null(), std::vector<Value>(args, args + blockSize)};
  gScriptCalls.push_back(call);
  engine.lastResult = makeStringFromAnsi(engine, "script result");
}

class CallEntriesTest : public RuntimeTest {
 protected:
  void SetUp() override {
    gScriptCalls.clear();
    config_.entries.runFunction = fakeRunFunction;
    RuntimeTest::SetUp();
  }
  Value scriptFunction() {
    auto* f = static_cast<ScriptFunction*>(allocBlock(engine(), sizeof(ScriptFunction)));
    f->code = nullptr;
    f->props = nullptr;
    Value v;
    v.setFunction(f);
    return v;
  }
};

// Joins its string arguments, after provoking a collection through a nested host call: the
// arguments and its partial result must survive it.
void joinArgs(Engine& engine, NativeClass*, void*, Value* result, const Value* args) {
  Arguments a(args);
  *result = makeStringFromAnsi(engine, "joined:");
  EXPECT_TRUE(callGlobal(engine, "collectNow", nullptr));
  std::string out = "joined:";
  for (uint32_t i = 1; i <= a.count(); ++i) out += a.ansi(i).value_or("?");
  *result = makeStringFromAnsi(engine, out);
}

void collectNow(Engine& engine, NativeClass*, void*, Value* result, const Value*) {
  collectGarbage(engine, engine.sp);
  result->setBoolean(true);
}

void raiseFromNative(Engine& engine, NativeClass*, void*, Value*, const Value*) {
  pushValue(engine, Value::fromInteger(1));
  raiseError(engine, "%s", "native failed");
}

TEST_F(CallEntriesTest, NativeFunctionsGetTheBlockAndLeaveTheirResult) {
  defineFunction(engine(), "join", joinArgs);
  defineFunction(engine(), "collectNow", collectNow);
  Value* sp = engine().sp;
  // Arguments held nowhere but in the block: the call keeps them alive.
  auto args = argumentBlock({str("a"), str("b"), str("c")});
  ASSERT_TRUE(callGlobal(engine(), "join", args.data()));
  EXPECT_EQ(text(engine().lastResult), "joined:abc");
  EXPECT_EQ(engine().sp, sp);
  EXPECT_STREQ(engine().message, "");
}

TEST_F(CallEntriesTest, UncallableValuesFailWithTheWarningText) {
  keep("number", Value::fromInteger(3));
  NativeClass* noCall = newClass(engine());
  defineClass(engine(), "NoCall", noCall);
  for (const char* name : {"number", "NoCall", "neverDefined"}) {
    engine().lastResult = Value::fromInteger(1);
    EXPECT_FALSE(callGlobal(engine(), name, nullptr)) << name;
    EXPECT_STREQ(engine().message, kCallUndefinedFunction);
    EXPECT_EQ(engine().lastResult.tag, Tag::Undefined);
  }
}

TEST_F(CallEntriesTest, RuntimeErrorsInNativesFailTheCallAndRestoreTheStack) {
  defineFunction(engine(), "fails", raiseFromNative);
  Value* sp = engine().sp;
  EXPECT_FALSE(callGlobal(engine(), "fails", nullptr));
  EXPECT_STREQ(engine().message, "Runtime error: native failed");
  EXPECT_EQ(engine().sp, sp);
  EXPECT_EQ(engine().errorFrames, nullptr);
}

TEST_F(CallEntriesTest, ScriptFunctionsGoToTheInterpreter) {
  Value f = scriptFunction();
  keep("f", f);
  auto args = argumentBlock({Value::fromInteger(4)});
  ASSERT_TRUE(callGlobal(engine(), "f", args.data()));
  ASSERT_EQ(gScriptCalls.size(), 1u);
  EXPECT_EQ(gScriptCalls[0].function, f.function());
  EXPECT_EQ(gScriptCalls[0].self.tag, Tag::Null);
  ASSERT_EQ(gScriptCalls[0].args.size(), 2u);
  EXPECT_EQ(gScriptCalls[0].args[0].integer(), 1);
  EXPECT_EQ(gScriptCalls[0].args[1].integer(), 4);
  EXPECT_EQ(text(engine().lastResult), "script result");
}

bool gInvoked = false;
bool invokeOnlyPing(Engine& engine, NativeClass*, void* receiver, Atom method, Value* result, const Value*) {
  if (method != intern(engine, "ping")) return false;
  gInvoked = true;
  result->setPointer(Tag::Integer, receiver);
  return true;
}

TEST_F(CallEntriesTest, MethodsOnNativesTryInvokeThenTheirTables) {
  NativeClass* cls = newClass(engine());
  cls->invoke = invokeOnlyPing;
  defineClass(engine(), "Pinger", cls);
  int data = 0;
  Value instance;
  makeNative(engine(), &instance, cls, &data);
  keep("p", instance);
  atom("ping");  // host classes intern their member names at registration

  ASSERT_TRUE(callMethod(engine(), instance, "ping", nullptr));
  EXPECT_EQ(engine().lastResult.pointer(), &data);
  // A function stored on the class object is found by every instance through its own table.
  Value f = scriptFunction();
  setProperty(engine(), cls->prototype, atom("scripted"), f);
  ASSERT_TRUE(callMethod(engine(), instance, "scripted", nullptr));
  EXPECT_EQ(gScriptCalls.back().self.native(), instance.native());
  // Non-function properties are not methods.
  setProperty(engine(), cls->prototype, atom("data"), Value::fromInteger(1));
  EXPECT_FALSE(callMethod(engine(), instance, "data", nullptr));
  EXPECT_STREQ(engine().message, "Warning: unknown method \"data\"");
  EXPECT_FALSE(callMethod(engine(), instance, "notInterned", nullptr));
  EXPECT_STREQ(engine().message, "Warning: unknown method \"notInterned\"");
}

TEST_F(CallEntriesTest, MethodsOnObjectsFollowPrototypes) {
  PropertyTable* proto = newTable(engine());
  setProperty(engine(), proto, atom("greet"), scriptFunction());
  PropertyTable* object = newTable(engine());
  setProperty(engine(), object, kAtomProto, Value::fromObject(proto));
  keep("o", Value::fromObject(object));
  ASSERT_TRUE(callMethod(engine(), Value::fromObject(object), "greet", nullptr));
  EXPECT_EQ(gScriptCalls.back().self.table(), object);
  EXPECT_FALSE(callMethod(engine(), Value::fromObject(object), "toString", nullptr));
}

// The receiver of a primitive's method is a pointer to the value itself.
bool invokeTwice(Engine& engine, NativeClass*, void* receiver, Atom method, Value* result, const Value*) {
  if (method != intern(engine, "twice")) return false;
  result->setInteger(2 * static_cast<Value*>(receiver)->integer());
  return true;
}

TEST_F(CallEntriesTest, MethodsOnPrimitivesUseTheDescriptorThenTheAttachedTable) {
  NativeClass* numbers = newClass(engine());
  numbers->invoke = invokeTwice;
  setClassDescriptor(engine(), Tag::Integer, numbers);
  atom("twice");
  atom("ping");
  ASSERT_TRUE(callMethod(engine(), Value::fromInteger(21), "twice", nullptr));
  EXPECT_EQ(engine().lastResult.integer(), 42);

  Value s = str("text");
  keep("s", s);
  attachTable(engine(), Tag::String, &s.string()->props);
  setProperty(engine(), s.string()->props, atom("shout"), scriptFunction());
  ASSERT_TRUE(callMethod(engine(), s, "shout", nullptr));
  EXPECT_EQ(gScriptCalls.back().self.string(), s.string());
  EXPECT_FALSE(callMethod(engine(), Value::fromBoolean(true), "ping", nullptr));  // no descriptor
  EXPECT_STREQ(engine().message, "Warning: unknown method \"ping\"");
}

}  // namespace
}  // namespace vexil::script::test
