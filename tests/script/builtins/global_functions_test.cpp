// The global values and functions: parseInt, parseFloat, escape, unescape, isNaN, isFinite, trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/script/builtins/builtin_fixture.h"

namespace vexil::script::test {
namespace {

class GlobalFunctions : public BuiltinTest {
 protected:
  Value i(int64_t v) { return Value::fromInteger(v); }
  Value u(std::u16string_view text) { return makeString(engine(), text); }
};

TEST_F(GlobalFunctions, GlobalValues) {
  EXPECT_EQ(describe(global("NaN")), "NaN");
  EXPECT_EQ(describe(global("Infinity")), "Real inf");
}

TEST_F(GlobalFunctions, ParseIntAndParseFloat) {
  const struct {
    const char* function;
    std::vector<Value> args;
    const char* expected;
  } cases[] = {
      {"parseInt", {str("0x1f")}, "Integer 31"},
      {"parseInt", {str("0x1f"), i(16)}, "Integer 31"},
      {"parseInt", {str("1f"), i(16)}, "Integer 31"},
      {"parseInt", {str("010")}, "Integer 8"},
      {"parseInt", {str("010"), i(10)}, "Integer 10"},
      {"parseInt", {str("12px")}, "Integer 12"},
      {"parseInt", {str("px")}, "NaN"},
      {"parseInt", {}, "NaN"},
      {"parseInt", {str("ff"), str("16")}, "Integer 255"},
      {"parseInt", {str("11"), i(0x100000002)}, "Integer 3"},
      {"parseInt", {str("99999999999999999999")}, "Real 1e+20"},
      {"parseInt", {str("-9223372036854775807")}, "Integer -9223372036854775807"},
      {"parseInt", {Value::fromReal(12.9)}, "Integer 12"},
      {"parseInt", {Value::null()}, "NaN"},
      {"parseFloat", {str("3.5e2")}, "Real 350"},
      {"parseFloat", {Value::fromBoolean(true)}, "Real 1"},
      {"parseFloat", {str("0x10")}, "Real 16"},
      {"parseFloat", {str("010")}, "Real 8"},
      {"parseFloat", {str("abc")}, "NaN"},
      {"parseFloat", {}, "NaN"},
  };
  for (const auto& c : cases) {
    std::vector<Value> block = c.args;
    block.insert(block.begin(), i(int64_t(c.args.size())));
    ASSERT_TRUE(callGlobal(engine(), c.function, block.data())) << c.function;
    EXPECT_EQ(describe(engine().lastResult), c.expected) << c.function << " " << (c.args.empty() ? "" : describe(c.args[0]));
  }
}

TEST_F(GlobalFunctions, EscapeAndUnescape) {
  const struct {
    std::u16string text;
    const char* escaped;
  } cases[] = {
      {u"a b", "a%20b"},
      {u"\u4E2D", "%u4E2D"},
      {u"AZaz09@*_+-./", "AZaz09@*_+-./"},
      {u"%\u00E9\u00FF\u0100~", "%25%E9%FF%u0100%7E"},
      {std::u16string(u"\xD800\0", 2), "%uD800%00"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    Value text = u(c.text);
    keep("text", text);
    EXPECT_EQ(call("escape", {text}), std::string("String \"") + c.escaped + "\"");
    Value escaped = engine().lastResult;
    keep("escaped", escaped);
    ASSERT_TRUE(callGlobal(engine(), "unescape", argumentBlock({escaped}).data()));
    EXPECT_EQ(engine().lastResult.string()->view(), c.text);
  }
  EXPECT_EQ(call("escape", {}), "String \"\"");
  EXPECT_EQ(call("escape", {i(15)}), "String \"15\"");
  EXPECT_EQ(call("unescape", {}), "Undefined");
  EXPECT_EQ(call("unescape", {str("%zz")}), "String \"%zz\"");
  EXPECT_EQ(call("unescape", {str("%4")}), "String \"%4\"");
  EXPECT_EQ(call("unescape", {str("%u4e2d%41%u12")}), "String \"\u4E2DA%u12\"");
  EXPECT_EQ(call("unescape", {str("%%41")}), "String \"%A\"");
}

TEST_F(GlobalFunctions, EscapeAndUnescapeMegabyteTexts) {
  std::u16string wide(1 << 20, u'\u4E2D');
  wide[7] = u'%';
  Value text = u(wide);
  keep("text", text);
  ASSERT_TRUE(callGlobal(engine(), "escape", argumentBlock({text}).data()));
  Value escaped = engine().lastResult;
  keep("escaped", escaped);
  EXPECT_EQ(escaped.string()->length, 6u * ((1 << 20) - 1) + 3);
  ASSERT_TRUE(callGlobal(engine(), "unescape", argumentBlock({escaped}).data()));
  EXPECT_EQ(engine().lastResult.string()->view(), wide);
}

TEST_F(GlobalFunctions, IsNaNAndIsFinite) {
  const struct {
    std::vector<Value> args;
    const char* isNaN;
    const char* isFinite;
  } cases[] = {
      {{}, "Undefined", "Undefined"},
      {{str("abc")}, "Boolean true", "Boolean false"},
      {{i(5)}, "Boolean false", "Boolean true"},
      {{Value::fromReal(2.5)}, "Boolean false", "Boolean true"},
      {{Value::nan()}, "Boolean true", "Boolean false"},
      {{str("1e999")}, "Boolean false", "Boolean false"},
      {{Value::fromReal(-1.0 / 0.0)}, "Boolean false", "Boolean false"},
      {{Value()}, "Boolean true", "Boolean false"},
      {{str("12")}, "Boolean false", "Boolean true"},
  };
  for (const auto& c : cases) {
    std::vector<Value> block = c.args;
    block.insert(block.begin(), i(int64_t(c.args.size())));
    ASSERT_TRUE(callGlobal(engine(), "isNaN", block.data()));
    EXPECT_EQ(describe(engine().lastResult), c.isNaN);
    ASSERT_TRUE(callGlobal(engine(), "isFinite", block.data()));
    EXPECT_EQ(describe(engine().lastResult), c.isFinite);
  }
}

std::vector<std::string> traced;
void collectTrace(void*, const char* line) { traced.push_back(line); }

TEST_F(GlobalFunctions, TraceWritesOneLineThroughTheEngineOutput) {
  traced.clear();
  Value toStringCalls = objectWith({{"toString", method([](Engine&, const Value*, const Value*) -> Value {
                                       traced.push_back("toString ran");
                                       return Value::fromInteger(1);
                                     })}});
  EXPECT_EQ(call("trace", {str("x"), toStringCalls}), "Undefined");
  EXPECT_TRUE(traced.empty());  // no output set: nothing is converted or written

  engine().traceOutput = collectTrace;
  EXPECT_EQ(call("trace", {str("a="), i(1), Value::fromReal(0.5), Value::null(), u(u"\u00E9")}), "Undefined");
  EXPECT_EQ(call("trace", {}), "Undefined");
  ASSERT_EQ(traced.size(), 2u);
  EXPECT_EQ(traced[0], "a=10.5undefined\xE9\r\n");
  EXPECT_EQ(traced[1], "\r\n");
}

}  // namespace
}  // namespace vexil::script::test
