// Conversions between value kinds, on an engine without the built-in classes (their answers are
// pinned by the built-ins' own tests) and with script methods written in C++.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "script/runtime/conversions.h"
#include "tests/script/conversions/conversion_fixture.h"

namespace vexil::script::test {
namespace {

class Conversions : public ConversionTest {
 protected:
  std::string number(const Value& v) {
    return attempt([&] { Value r; valueToNumber(engine(), v, &r); return r; });
  }
  std::string string(const Value& v) {
    return attempt([&] { Value r; valueToString(engine(), v, &r); return r; });
  }
  std::string primitive(const Value& v, PrimitiveHint hint) {
    return attempt([&] { Value r; valueToPrimitive(engine(), v, &r, hint); return r; });
  }
  std::string object(const Value& v) {
    return attempt([&] { Value r; valueToObject(engine(), v, &r); return r; });
  }
  Value nativeAnswering(InvokeOp invoke) {
    NativeClass* cls = newClass(engine());
    cls->invoke = invoke;
    Value v;
    makeNative(engine(), &v, cls, nullptr);
    keep(("native" + std::to_string(kept_++)).c_str(), v);
    return v;
  }
  static Value tagged(Tag tag) {
    Value v;
    v.setPointer(tag, nullptr);
    return v;
  }
};

// A native whose toString is "[object Thing]" and whose valueOf is 9.
bool thingInvoke(Engine& engine, NativeClass*, void*, Atom method, Value* result, const Value*) {
  if (method == kAtomToString) *result = makeStaticString(engine, u"[object Thing]");
  else if (method == kAtomValueOf) result->setInteger(9);
  else return false;
  return true;
}

// A native that answers valueOf with itself and knows no toString.
bool selfInvoke(Engine& engine, NativeClass*, void*, Atom method, Value* result, const Value*) {
  if (method != kAtomValueOf) return false;
  *result = globalSlot(engine, "native0");
  return true;
}

bool silentInvoke(Engine&, NativeClass*, void*, Atom, Value*, const Value*) { return false; }

TEST_F(Conversions, ToBoolean) {
  Value emptyArray = makeTestArray(engine(), {});
  const struct {
    Value value;
    bool expected;
  } cases[] = {
      {Value::fromBoolean(true), true}, {Value::fromBoolean(false), false},
      {Value::fromInteger(0), false},   {Value::fromInteger(-1), true},
      {str(""), false},                 {str("0"), true},
      {Value::fromReal(0.0), false},    {Value::fromReal(-0.0), false},
      {Value::fromReal(0.5), true},     {Value::fromReal(std::nan("")), true},
      {emptyArray, true},               {objectWith({}), true},
      {nativeAnswering(nullptr), true}, {method(answering(Value())), true},
      {Value(), false},                 {Value::null(), false},
      {Value::fromName(atom("x")), false}, {Value::nan(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(valueToBoolean(engine(), c.value), c.expected) << describe(c.value);
}

TEST_F(Conversions, ToNumberOfNonStrings) {
  EXPECT_EQ(number(Value()), "NaN");
  EXPECT_EQ(number(Value::null()), "Integer 0");
  EXPECT_EQ(number(Value::fromBoolean(true)), "Integer 1");
  EXPECT_EQ(number(Value::fromReal(2.5)), "Real 2.5");
  EXPECT_EQ(number(Value::fromName(atom("x"))), "NaN");
  EXPECT_EQ(number(objectWith({{"valueOf", method(answering(Value::fromInteger(5)))}})), "Integer 5");
  EXPECT_EQ(number(objectWith({{"toString", method(answering(staticText(u"0x10")))}})), "Integer 16");
  EXPECT_EQ(number(objectWith({})), "NaN");
  EXPECT_EQ(number(nativeAnswering(thingInvoke)), "Integer 9");
  EXPECT_EQ(number(method(answering(Value()))), "NaN");
}

TEST_F(Conversions, ToStringOfPrimitives) {
  const struct {
    Value value;
    const char* expected;
  } cases[] = {
      {Value(), "String \"undefined\""},
      {Value::null(), "String \"undefined\""},
      {Value::fromBoolean(true), "String \"true\""},
      {Value::fromInteger(10), "String \"10\""},
      {Value::fromInteger(-3), "String \"-3\""},
      {Value::fromReal(1.5), "String \"1.5\""},
      {Value::fromReal(1234567.0), "String \"1.23457e+06\""},
      {Value::nan(), "String \"NaN\""},
      {Value::fromName(atom("fooBar")), "String \"fooBar\""},
      {tagged(Tag(8)), "String \"unknown\""},
      {tagged(Tag::FrameMark), "String \"unknown\""},
  };
  for (const auto& c : cases) EXPECT_EQ(string(c.value), c.expected) << describe(c.value);
  Value s = str("same");
  Value out;
  valueToString(engine(), s, &out);
  EXPECT_EQ(out.string(), s.string());
}

TEST_F(Conversions, ToStringOfObjectsAsksTheirMethods) {
  EXPECT_EQ(string(objectWith({{"toString", method(answering(staticText(u"hi")))}})), "String \"hi\"");
  EXPECT_EQ(string(objectWith({{"toString", Value::fromInteger(3)}})), "String \"object\"");
  EXPECT_EQ(string(objectWith({{"toString", method(answering(Value::fromInteger(5)))}})), "String \"object\"");
  EXPECT_EQ(string(objectWith({{"toString", method(failing())}})), "String \"object\"");
  EXPECT_EQ(string(objectWith({})), "String \"object\"");
  EXPECT_EQ(string(nativeAnswering(thingInvoke)), "String \"[object Thing]\"");
  EXPECT_EQ(string(nativeAnswering(silentInvoke)), "String \"object\"");
  EXPECT_EQ(string(nativeAnswering(nullptr)), "String \"object\"");
  EXPECT_EQ(string(method(answering(Value()))), "String \"[object Function]\"");
}

TEST_F(Conversions, ToStringFollowsThePrototypeLink) {
  Value proto = objectWith({{"toString", method(answering(staticText(u"inherited")))}});
  Value child = objectWith({{"__proto__", proto}});
  EXPECT_EQ(string(child), "String \"inherited\"");
}

TEST_F(Conversions, ToPrimitive) {
  Value valueOf5 = objectWith({{"valueOf", method(answering(Value::fromInteger(5)))}});
  Value named = objectWith({{"toString", method(answering(staticText(u"x")))}});
  Value both = objectWith({{"toString", method(answering(objectWith({})))},
                           {"valueOf", method(answering(Value::fromInteger(7)))}});
  const char* cantConvert = "error: Runtime error: Can't convert to primitive type";
  EXPECT_EQ(primitive(valueOf5, PrimitiveHint::Number), "Integer 5");
  EXPECT_EQ(primitive(named, PrimitiveHint::Number), "String \"x\"");
  EXPECT_EQ(primitive(named, PrimitiveHint::String), "String \"x\"");
  EXPECT_EQ(primitive(both, PrimitiveHint::String), "Integer 7");
  EXPECT_EQ(primitive(valueOf5, PrimitiveHint::String), "Integer 5");
  EXPECT_EQ(primitive(objectWith({}), PrimitiveHint::String), cantConvert);
  EXPECT_EQ(primitive(objectWith({}), PrimitiveHint::Number), "String \"object\"");
  EXPECT_EQ(primitive(Value::nan(), PrimitiveHint::String), "NaN");
  EXPECT_EQ(primitive(Value::null(), PrimitiveHint::Number), "Null");
  EXPECT_EQ(primitive(method(answering(Value())), PrimitiveHint::Number), "String \"[object Function]\"");
  EXPECT_EQ(primitive(nativeAnswering(thingInvoke), PrimitiveHint::String), "String \"[object Thing]\"");
  EXPECT_EQ(primitive(nativeAnswering(thingInvoke), PrimitiveHint::Number), "Integer 9");
  EXPECT_EQ(primitive(nativeAnswering(silentInvoke), PrimitiveHint::Number), "String \"object\"");
  EXPECT_EQ(primitive(nativeAnswering(silentInvoke), PrimitiveHint::String), cantConvert);
  EXPECT_EQ(primitive(nativeAnswering(nullptr), PrimitiveHint::Number), cantConvert);
  EXPECT_EQ(primitive(Value::fromName(atom("x")), PrimitiveHint::Number), cantConvert);
  EXPECT_EQ(primitive(tagged(Tag(-1)), PrimitiveHint::Number), cantConvert);
}

// A native whose valueOf answers itself must not send the conversion round in circles.
TEST_F(Conversions, NativeAnsweringItselfEndsAsText) {
  Value self = nativeAnswering(selfInvoke);
  EXPECT_EQ(primitive(self, PrimitiveHint::Number), "String \"object\"");
  EXPECT_EQ(number(self), "NaN");
}

TEST_F(Conversions, ToObject) {
  const char* cantConvert = "error: Runtime error: Can't convert to object";
  EXPECT_EQ(object(Value::null()), cantConvert);
  EXPECT_EQ(object(Value()), cantConvert);
  EXPECT_EQ(object(Value::fromName(atom("x"))), cantConvert);
  EXPECT_EQ(object(Value::fromInteger(5)), "Integer 5");
  EXPECT_EQ(object(Value::nan()), "NaN");
  Value s = str("abc");
  Value copy;
  valueToObject(engine(), s, &copy);
  ASSERT_EQ(describe(copy), "String \"abc\"");
  EXPECT_NE(copy.string(), s.string());
  EXPECT_NE(copy.string()->chars, s.string()->chars);
  EXPECT_FALSE(copy.string()->isStatic());
}

TEST_F(Conversions, ToMachineIntegers) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    Value value;
    int64_t int64;
    int32_t int32;
  } cases[] = {
      {Value::fromInteger(0x123456789), 0x123456789, 0x23456789},
      {Value::fromReal(3.7), 3, 3},
      {Value::fromReal(-3.7), -3, -3},
      {Value::fromReal(inf), 0, 0},
      {Value::fromReal(-inf), 0, 0},
      {Value::fromReal(std::nan("")), 0, 0},
      {Value::fromReal(4294967296.5), 4294967296, 0},
      {Value::fromReal(9223372036854775808.0), std::numeric_limits<int64_t>::min(), 0},
      {Value::fromReal(18446744073709551616.0 + 8192.0), 8192, 8192},
      {Value::fromReal(-18446744073709551616.0 - 8192.0), -8192, -8192},
      {Value::nan(), 0, 0},
      {str("0x100000001"), 4294967297, 1},
      {str("-1"), -1, -1},
      {Value::fromBoolean(true), 1, 1},
      {Value(), 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(valueToInt64(engine(), c.value), c.int64) << describe(c.value);
    EXPECT_EQ(valueToInt32(engine(), c.value), c.int32) << describe(c.value);
  }
}

}  // namespace
}  // namespace vexil::script::test
