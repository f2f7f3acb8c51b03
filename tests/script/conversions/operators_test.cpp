// The operator rules as tables of (left, operator, right) to result.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "script/runtime/operators.h"
#include "tests/script/conversions/conversion_fixture.h"

namespace vexil::script::test {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const int64_t kMin = std::numeric_limits<int64_t>::min();
const int64_t kMax = std::numeric_limits<int64_t>::max();

struct BinaryCase {
  Value left;
  const char* op;
  Value right;
  std::string expected;
};

const struct {
  const char* name;
  BinaryOperator run;
} kOperators[] = {
    {"+", opAdd},           {"-", opSubtract},       {"*", opMultiply},      {"/", opDivide},
    {"%", opModulo},        {"&", opBitAnd},         {"|", opBitOr},         {"^", opBitXor},
    {"<<", opShiftLeft},    {">>", opShiftRight},    {">>>", opShiftRightUnsigned},
    {"<", opLess},          {"<=", opLessEqual},     {">", opGreater},       {">=", opGreaterEqual},
    {"==", opEqual},        {"!=", opNotEqual},      {"===", opStrictEqual}, {"!==", opStrictNotEqual},
};

BinaryOperator operatorNamed(const std::string& name) {
  for (const auto& op : kOperators) {
    if (name == op.name) return op.run;
  }
  return nullptr;
}

class Operators : public ConversionTest {
 protected:
  Value i(int64_t v) { return Value::fromInteger(v); }
  Value r(double v) { return Value::fromReal(v); }
  Value b(bool v) { return Value::fromBoolean(v); }
  Value s(const char* text) {
    Value v = str(text);
    keep(("s" + std::to_string(kept_++)).c_str(), v);
    return v;
  }
  Value nan() { return Value::nan(); }

  void check(const std::vector<BinaryCase>& cases) {
    for (const BinaryCase& c : cases) {
      BinaryOperator op = operatorNamed(c.op);
      ASSERT_NE(op, nullptr) << c.op;
      std::string got = attempt([&] { Value result; op(engine(), c.left, c.right, &result); return result; });
      EXPECT_EQ(got, c.expected) << describe(c.left) << " " << c.op << " " << describe(c.right);
    }
  }
};

TEST_F(Operators, Addition) {
  check({
      {s("1"), "+", i(2), "String \"12\""},
      {i(2), "+", s("1"), "String \"21\""},
      {s("a"), "+", Value::null(), "String \"aundefined\""},
      {s("x"), "+", r(1.5), "String \"x1.5\""},
      {i(1), "+", i(2), "Integer 3"},
      {i(kMax), "+", i(1), "Integer " + std::to_string(kMin)},
      {i(1), "+", b(true), "Real 2"},
      {i(1), "+", r(0.5), "Real 1.5"},
      {i(1), "+", Value(), "NaN"},
      {Value::null(), "+", Value::null(), "Real 0"},
      {r(kInf), "+", r(-kInf), "NaN"},
      {nan(), "+", i(1), "NaN"},
  });
}

TEST_F(Operators, SubtractionAndMultiplication) {
  check({
      {i(5), "-", i(7), "Integer -2"},
      {i(kMin), "-", i(1), "Integer " + std::to_string(kMax)},
      {s("10"), "-", s("4"), "Real 6"},
      {r(1.5), "-", i(1), "Real 0.5"},
      {i(6), "*", i(7), "Integer 42"},
      {i(int64_t(1) << 62), "*", i(4), "Integer 0"},
      {i(3), "*", r(0.5), "Real 1.5"},
      {r(kInf), "*", i(0), "NaN"},
      {r(-kInf), "*", r(0.0), "NaN"},
      {i(0), "*", r(kInf), "NaN"},
      {r(0.0), "*", r(kInf), "NaN"},
      {r(kInf), "*", i(-2), "Real -inf"},
      {s("x"), "*", i(2), "NaN"},
  });
}

TEST_F(Operators, DivisionAndRemainder) {
  check({
      {i(7), "/", i(2), "Real 3.5"},
      {i(6), "/", i(3), "Real 2"},
      {i(0), "/", i(0), "NaN"},
      {r(0.0), "/", i(0), "NaN"},
      {r(kInf), "/", r(-kInf), "NaN"},
      {r(-kInf), "/", i(0), "Real -inf"},
      {r(kInf), "/", r(-0.0), "Real inf"},
      {i(1), "/", i(0), "Real inf"},
      {i(-1), "/", i(0), "Real -inf"},
      {nan(), "/", i(1), "NaN"},
      {i(7), "%", i(2), "Integer 1"},
      {i(-7), "%", i(2), "Integer -1"},
      {i(7), "%", i(-2), "Integer 1"},
      {i(7), "%", i(0), "NaN"},
      {i(kMin), "%", i(-1), "Integer 0"},
      {r(7.5), "%", i(2), "Real 1.5"},
      {r(-7.5), "%", i(2), "Real -1.5"},
      {r(kInf), "%", i(2), "NaN"},
      {i(5), "%", r(0.0), "NaN"},
      {i(5), "%", r(kInf), "Integer 5"},
      {i(0), "%", r(2.5), "Integer 0"},
      {s("9"), "%", i(4), "Real 1"},
  });
}

TEST_F(Operators, BitwiseAndShifts) {
  check({
      {i(0xF0F0F0F0F0), "&", i(0xFF00FF00FF), "Integer " + std::to_string(0xF000F000F0)},
      {i(1), "|", i(int64_t(1) << 40), "Integer " + std::to_string((int64_t(1) << 40) + 1)},
      {i(-1), "^", i(1), "Integer -2"},
      {r(5.9), "&", s("3"), "Integer 1"},
      {b(true), "|", Value::null(), "Integer 1"},
      {nan(), "|", i(4), "Integer 4"},
      {i(1), "<<", i(40), "Integer 1099511627776"},
      {i(1), "<<", i(63), "Integer " + std::to_string(kMin)},
      {i(1), "<<", i(64), "Integer 0"},
      {i(1), "<<", i(256 + 3), "Integer 8"},
      {i(1), "<<", i((int64_t(1) << 32) + 2), "Integer 4"},
      {i(-16), ">>", i(2), "Integer -4"},
      {i(-16), ">>", i(200), "Integer -1"},
      {i(16), ">>", i(64), "Integer 0"},
      {i(-16), ">>>", i(60), "Integer 15"},
      {i(-16), ">>>", i(64), "Integer 0"},
      {r(-16.7), ">>", r(2.9), "Integer -4"},
      {s("0x10"), "<<", s("4"), "Integer 256"},
  });
}

TEST_F(Operators, Relations) {
  check({
      {i(1), "<", i(2), "Boolean true"},
      {i(kMax), ">", i(kMax - 1), "Boolean true"},
      {s("10"), ">", i(9), "Boolean true"},
      {s("10"), ">", s("9"), "Boolean false"},
      {s("ab"), "<", s("abc"), "Boolean true"},
      {s("b"), ">=", s("b"), "Boolean true"},
      {r(1.5), "<=", i(1), "Boolean false"},
      {i(1), "<", nan(), "Undefined"},
      {i(1), ">=", s("x"), "Undefined"},
      {Value(), "<", i(1), "Undefined"},
      {Value::null(), "<", i(1), "Boolean true"},
      {b(true), "<=", i(1), "Boolean true"},
      {r(std::nan("")), "<", i(1), "Undefined"},
  });
}

TEST_F(Operators, StrictEquality) {
  Value array = makeTestArray(engine(), {});
  keep("array", array);
  Value other = makeTestArray(engine(), {});
  keep("other", other);
  Value object = objectWith({});
  check({
      {i(1), "===", r(1.0), "Boolean true"},
      {i(9007199254740993), "===", r(9007199254740992.0), "Boolean false"},
      {Value::null(), "===", Value(), "Boolean false"},
      {Value::null(), "===", Value::null(), "Boolean true"},
      {nan(), "===", nan(), "Boolean false"},
      {nan(), "!==", nan(), "Boolean true"},
      {r(std::nan("")), "===", r(std::nan("")), "Boolean false"},
      {s("ab"), "===", s("ab"), "Boolean true"},
      {s("1"), "===", i(1), "Boolean false"},
      {array, "===", array, "Boolean true"},
      {array, "===", other, "Boolean false"},
      {object, "===", object, "Boolean true"},
      {object, "===", objectWith({}), "Boolean false"},
      {b(true), "===", b(true), "Boolean true"},
      {Value::fromName(atom("a")), "===", Value::fromName(atom("a")), "Boolean true"},
  });
}

TEST_F(Operators, LooseEquality) {
  Value array = makeTestArray(engine(), {});
  keep("array", array);
  Value other = makeTestArray(engine(), {});
  keep("other", other);
  Value five = objectWith({{"valueOf", method(answering(Value::fromInteger(5)))}});
  check({
      {i(1), "==", r(1.0), "Boolean true"},
      {Value::null(), "==", Value(), "Boolean true"},
      {Value(), "!=", Value::null(), "Boolean false"},
      {Value::null(), "==", i(0), "Boolean false"},
      {s("1"), "==", i(1), "Boolean true"},
      {s("0x10"), "==", i(16), "Boolean true"},
      {b(true), "==", s("1"), "Boolean true"},
      {s("abc"), "==", nan(), "Boolean false"},
      {s("abc"), "==", s("abc"), "Boolean true"},
      {array, "==", other, "Boolean false"},
      {array, "==", array, "Boolean true"},
      {five, "==", i(5), "Boolean true"},
      {i(5), "==", five, "Boolean true"},
      {five, "==", s("5"), "Boolean true"},
      {five, "!=", i(6), "Boolean true"},
      {five, "==", Value::null(), "Boolean false"},
      {objectWith({}), "==", s("object"), "Boolean true"},
  });
}

TEST_F(Operators, Unary) {
  const struct {
    Value operand;
    const char* negated;
    const char* inverted;
  } cases[] = {
      {i(5), "Integer -5", "Boolean false"},
      {i(kMin), "Integer -9223372036854775808", "Boolean false"},
      {i(0), "Integer 0", "Boolean true"},
      {r(1.5), "Real -1.5", "Boolean false"},
      {r(0.0), "Real -0", "Boolean true"},
      {nan(), "NaN", "Boolean true"},
      {s("7"), "Integer -7", "Boolean false"},
      {s(""), "Integer 0", "Boolean true"},
      {Value(), "NaN", "Boolean true"},
      {Value::null(), "Integer 0", "Boolean true"},
      {b(true), "Integer -1", "Boolean false"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(attempt([&] { Value v; opNegate(engine(), c.operand, &v); return v; }), c.negated);
    EXPECT_EQ(attempt([&] { Value v; opNot(engine(), c.operand, &v); return v; }), c.inverted);
  }
}

// The result may be written over an operand, as the machine does with its stack.
TEST_F(Operators, ResultMayBeAnOperand) {
  Value left = s("a");
  Value right = i(1);
  opAdd(engine(), left, right, &left);
  EXPECT_EQ(describe(left), "String \"a1\"");
  Value n = i(3);
  opSubtract(engine(), n, n, &n);
  EXPECT_EQ(describe(n), "Integer 0");
}

}  // namespace
}  // namespace vexil::script::test
