// Object, Function and Boolean: their members on values and on the class objects, their call and
// construct operations, and the conversions that go through them.
#include <gtest/gtest.h>

#include <string>

#include "script/builtins/function_compiler.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "tests/script/builtins/builtin_fixture.h"

namespace vexil::script::test {
namespace {

class CoreClasses : public BuiltinTest {};

TEST_F(CoreClasses, MembersOnValuesAndClassObjects) {
  Value object = objectWith({});
  Value function = method(answering(Value()));
  keep("function", function);
  const struct {
    Value receiver;
    const char* member;
    std::string expected;
  } cases[] = {
      {object, "toString", "String \"[object Object]\""},
      {global("Object"), "toString", "String \"[type Function]\""},
      {object, "toSource", "Undefined"},
      {global("Object"), "toSource", "String \"new Object()\""},
      {object, "valueOf", "Object"},
      {global("Object"), "valueOf", "Native"},
      {function, "toString", "String \"[object Function]\""},
      {global("Function"), "toString", "String \"[object Function]\""},
      {function, "valueOf", "Function"},
      {Value::fromBoolean(true), "toString", "String \"true\""},
      {Value::fromBoolean(false), "toString", "String \"false\""},
      {global("Boolean"), "toString", "String \"[type Function]\""},
      {Value::fromBoolean(false), "valueOf", "Boolean false"},
      {Value::fromBoolean(true), "toSource", "failed: Warning: unknown method \"toSource\""},
  };
  for (const auto& c : cases) {
    // Object values answer class members only through the conversions; call them on the class.
    std::string got;
    if (c.receiver.is(Tag::Object)) {
      NativeClass* cls = classDescriptor(engine(), Tag::Object);
      Value receiver = c.receiver, result;
      got = cls->invoke(engine(), cls, &receiver, atom(c.member), &result, nullptr) ? describe(result) : "unknown";
    } else {
      got = invoke(c.receiver, c.member);
    }
    EXPECT_EQ(got, c.expected) << describe(c.receiver) << "." << c.member;
  }
  Value objectGlobal = global("Object");
  Value result;
  NativeClass* cls = objectGlobal.native()->cls;
  ASSERT_TRUE(cls->invoke(engine(), cls, nullptr, kAtomValueOf, &result, nullptr));
  EXPECT_TRUE(sameValue(result, objectGlobal));
}

TEST_F(CoreClasses, ObjectCallAndConstruct) {
  EXPECT_EQ(call("Object", {}), "Object");
  EXPECT_EQ(call("Object", {Value::null()}), "Object");
  EXPECT_EQ(call("Object", {Value()}), "Object");
  EXPECT_EQ(call("Object", {Value::fromInteger(5)}), "Integer 5");
  EXPECT_EQ(call("Object", {Value::null(), Value::fromInteger(1)}), "failed: Runtime error: Can't convert to object");
  EXPECT_EQ(call("Object", {Value::fromName(atom("x"))}), "failed: Runtime error: Can't convert to object");
  EXPECT_EQ(construct("Object", {}), "Object");
  EXPECT_EQ(construct("Object", {Value::null(), Value::fromInteger(1)}), "Object");
  EXPECT_EQ(construct("Object", {Value::fromReal(2.5)}), "Real 2.5");
  EXPECT_EQ(construct("Object", {Value::fromName(atom("x"))}), "Tag 10");

  Value empty = constructed("Object", {});
  EXPECT_EQ(empty.table()->count, 0u);  // no entries, no "__proto__"
  Value object = objectWith({});
  EXPECT_TRUE(sameValue(constructed("Object", {object}), object));
  Value text = str("abc");
  Value copy = constructed("Object", {text});
  EXPECT_EQ(describe(copy), "String \"abc\"");
  EXPECT_NE(copy.string()->chars, text.string()->chars);
}

TEST_F(CoreClasses, BooleanCallAndConstructGivePlainBooleans) {
  EXPECT_EQ(call("Boolean", {}), "Boolean false");
  EXPECT_EQ(call("Boolean", {str("")}), "Boolean false");
  EXPECT_EQ(call("Boolean", {str("false")}), "Boolean true");
  EXPECT_EQ(call("Boolean", {Value::nan()}), "Boolean false");
  EXPECT_EQ(construct("Boolean", {Value::fromInteger(0)}), "Boolean false");
  EXPECT_EQ(construct("Boolean", {objectWith({})}), "Boolean true");
}

TEST_F(CoreClasses, FunctionHasNoCall) {
  EXPECT_EQ(call("Function", {}), "failed: Warning: call a undefined function");
}

std::string compiledSource;

// Stands in for the script host: remembers the text and defines the generated function's global.
bool recordingCompiler(Engine& engine, const std::string& source) {
  compiledSource = source;
  if (source.find("syntax error") != std::string::npos) return false;
  globalSlot(engine, ("@F_" + std::to_string(engine.functionBase)).c_str()) = Value::fromInteger(77);
  engine.functionBase += 1;
  return true;
}

TEST_F(CoreClasses, FunctionConstructCompilesItsSource) {
  EXPECT_EQ(construct("Function", {str("a")}), "Null");  // no compiler installed yet
  setFunctionSourceCompiler(recordingCompiler);
  engine().functionBase = 3;
  EXPECT_EQ(construct("Function", {str("a"), str("b"), str("return a + b")}), "Integer 77");
  EXPECT_EQ(compiledSource, "function (a, b) {return a + b}");
  EXPECT_NE(findAtom(engine(), "@F_3"), -1);
  EXPECT_EQ(construct("Function", {}), "Integer 77");
  EXPECT_EQ(compiledSource, "function () {}");
  EXPECT_EQ(construct("Function", {str("return 1")}), "Integer 77");
  EXPECT_EQ(compiledSource, "function () {return 1}");
  EXPECT_EQ(construct("Function", {Value::fromInteger(1), str("b"), Value::fromInteger(2)}), "Integer 77");
  EXPECT_EQ(compiledSource, "function (b) {}");
  EXPECT_EQ(construct("Function", {str("syntax error")}), "Null");
  setFunctionSourceCompiler(nullptr);
}

// With the classes registered, the conversions answer through them.
TEST_F(CoreClasses, ConversionsAnswerThroughTheClasses) {
  const struct {
    Value value;
    const char* expected;
  } cases[] = {
      {Value::fromBoolean(false), "String \"false\""},
      {Value::fromInteger(-42), "String \"-42\""},
      {Value::fromReal(0.1), "String \"0.1\""},
      {Value::fromReal(1e21), "String \"1e+21\""},
      {Value::nan(), "String \"NaN\""},
      {objectWith({}), "String \"[object Object]\""},
      {objectWith({{"toString", Value::fromInteger(1)}}), "String \"object\""},
      {global("Math"), "String \"[object Math]\""},
      {global("Number"), "String \"[type Function]\""},
      {global("parseInt"), "String \"object\""},
  };
  for (const auto& c : cases) {
    Value text;
    valueToString(engine(), c.value, &text);
    EXPECT_EQ(describe(text), c.expected);
  }
  Value number;
  valueToNumber(engine(), objectWith({}), &number);
  EXPECT_EQ(describe(number), "NaN");
}

}  // namespace
}  // namespace vexil::script::test
