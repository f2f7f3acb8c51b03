// Number: toString in a radix, valueOf, format, the read-only constants, call and construct.
#include <gtest/gtest.h>

#include <string>

#include "tests/script/builtins/builtin_fixture.h"

namespace vexil::script::test {
namespace {

class NumberClass : public BuiltinTest {};

TEST_F(NumberClass, ToStringInARadix) {
  const struct {
    Value number;
    Value radix;
    const char* expected;
  } cases[] = {
      {Value::fromInteger(5), Value::fromInteger(2), "String \"101\""},
      {Value::fromInteger(255), Value::fromInteger(16), "String \"ff\""},
      {Value::fromInteger(-5), Value::fromInteger(2),
       "String \"1111111111111111111111111111111111111111111111111111111111111011\""},
      {Value::fromInteger(-5), Value::fromInteger(10), "String \"-5\""},
      {Value::fromInteger(35), Value::fromInteger(36), "String \"z\""},
      {Value::fromInteger(35), Value::fromInteger(0x100000024), "String \"z\""},  // the low word
      {Value::fromInteger(35), Value::fromReal(16.0), "String \"35\""},
      {Value::fromInteger(35), Value::fromInteger(99), "String \"35\""},
      {Value::fromReal(1.5), Value::fromInteger(2), "String \"1.5\""},
      {Value::nan(), Value::fromInteger(2), "String \"NaN\""},
  };
  for (const auto& c : cases) EXPECT_EQ(invoke(c.number, "toString", {c.radix}), c.expected);
  EXPECT_EQ(invoke(Value::fromInteger(12), "toString"), "String \"12\"");
  EXPECT_EQ(invoke(global("Number"), "toString"), "String \"[type Function]\"");
  EXPECT_EQ(invoke(Value::fromReal(2.5), "valueOf"), "Real 2.5");
}

TEST_F(NumberClass, Format) {
  EXPECT_EQ(invoke(Value::fromInteger(12), "format", {str("%05I64d")}), "String \"00012\"");
  EXPECT_EQ(invoke(Value::fromReal(3.14159), "format", {str("%.2f")}), "String \"3.14\"");
  EXPECT_EQ(invoke(Value::nan(), "format", {str("%d")}), "String \"NaN\"");
  EXPECT_EQ(invoke(Value::fromInteger(12), "format", {str("%s")}), "Undefined");
  EXPECT_EQ(invoke(Value::fromReal(1234567.0), "format", {}), "String \"1.23457e+06\"");
  EXPECT_EQ(invoke(Value::fromInteger(7), "format", {Value::fromInteger(1)}), "String \"7\"");
  EXPECT_EQ(invoke(global("Number"), "format", {str("%d")}), "failed: Warning: unknown method \"format\"");
}

TEST_F(NumberClass, ReadOnlyConstantsOnTheClassAndOnNumbers) {
  const struct {
    const char* name;
    const char* expected;
  } cases[] = {
      {"MAX_VALUE", "Real 1.7976931348623157e+308"},
      {"MIN_VALUE", "Real 2.2250738585072014e-308"},
      {"NaN", "NaN"},
      {"NEGATIVE_INFINITY", "Real -inf"},
      {"POSITIVE_INFINITY", "Real inf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(property(global("Number"), c.name), c.expected);
    EXPECT_EQ(property(Value::fromInteger(1), c.name), c.expected);
    EXPECT_EQ(property(Value::nan(), c.name), c.expected);
    EXPECT_TRUE(assign(global("Number"), c.name, Value::fromInteger(3)));
    EXPECT_EQ(property(global("Number"), c.name), c.expected);
  }
  EXPECT_EQ(property(Value::fromInteger(1), "length"), "not handled");
}

TEST_F(NumberClass, CallAndConstructGivePlainNumbers) {
  EXPECT_EQ(call("Number", {}), "Integer 0");
  EXPECT_EQ(call("Number", {str("12")}), "Integer 12");
  EXPECT_EQ(call("Number", {str("1.5e1")}), "Real 15");
  EXPECT_EQ(construct("Number", {str("x")}), "NaN");
  EXPECT_EQ(construct("Number", {Value::fromInteger(1)}), "Integer 1");
  EXPECT_EQ(construct("Number", {Value::fromBoolean(true)}), "Integer 1");
}

}  // namespace
}  // namespace vexil::script::test
