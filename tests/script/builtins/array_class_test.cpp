// The Array class: construction (lengths and literals), every member's main path and bad
// arguments, the class object, sparse arrays with huge lengths, and sort's comparison rules.
#include <gtest/gtest.h>

#include <string>

#include "script/builtins/array_builtin.h"
#include "script/runtime/messages.h"
#include "tests/script/builtins/builtin_fixture.h"

namespace vexil::script::test {
namespace {

class ArrayClass : public BuiltinTest {
 protected:
  // An array literal: the constructor with a negative count, rooted in a global.
  Value literal(std::initializer_list<Value> elements) {
    std::vector<Value> block = argumentBlock(elements);
    block[0].setInteger(-int64_t(elements.size()));
    NativeClass* cls = global("Array").native()->cls;
    Value result;
    cls->construct(engine(), cls, block.data(), &result);
    keep(("array" + std::to_string(kept_++)).c_str(), result);
    return result;
  }
  Value I(int64_t n) { return Value::fromInteger(n); }
  // "length: e0,e1,…" with "_" for a hole, strings bare, other values described.
  static std::string show(const Value& array) {
    if (!array.is(Tag::Array)) return "not an array: " + describe(array);
    const ArrayRecord& a = *array.array();
    std::string out = std::to_string(a.length()) + ":";
    for (uint64_t i = 0; i < a.length() && i < 64; ++i) {
      if (i) out += ",";
      const Value* v = findElement(a, i);
      if (!v) out += "_";
      else if (v->is(Tag::String)) out += text(*v);
      else if (v->is(Tag::Integer)) out += std::to_string(v->integer());
      else out += describe(*v);
    }
    return out;
  }
  std::string after(const Value& array, const char* method, std::initializer_list<Value> args = {}) {
    std::string result = invoke(array, method, args);
    return result + " | " + show(array);
  }
};

TEST_F(ArrayClass, ConstructorTakesOneIntegerAsLengthAndLiteralsAsElements) {
  EXPECT_EQ(show(constructed("Array", {I(3)})), "3:_,_,_");
  EXPECT_EQ(show(constructed("Array", {})), "0:");
  EXPECT_EQ(show(constructed("Array", {I(3), I(4)})), "2:3,4");
  EXPECT_EQ(show(constructed("Array", {Value::fromReal(3)})), "1:Real 3");
  EXPECT_EQ(show(constructed("Array", {str("3")})), "1:3");
  EXPECT_EQ(show(literal({I(3)})), "1:3");
  EXPECT_EQ(show(literal({})), "0:");
  EXPECT_EQ(show(constructed("Array", {I(-5)})), "0:");  // no negative lengths
  // Calling the class does what new does, and the array gets the class's prototype.
  ASSERT_EQ(call("Array", {I(2)}), "Array");
  Value made = engine().lastResult;
  EXPECT_EQ(show(made), "2:_,_");
  ASSERT_NE(made.array()->props, nullptr);
  Value proto = getProperty(engine(), made.array()->props, kAtomProto);
  EXPECT_EQ(proto.table(), global("Array").native()->cls->prototype);
}

TEST_F(ArrayClass, ClassObjectAnswersToStringAndALengthOfOne) {
  Value cls = global("Array");
  EXPECT_EQ(invoke(cls, "toString"), "String \"[object Array]\"");
  EXPECT_EQ(property(cls, "length"), "Integer 1");
  EXPECT_TRUE(assign(cls, "length", I(7)));
  EXPECT_EQ(property(cls, "length"), "Integer 1");
  EXPECT_EQ(invoke(cls, "push", {I(1)}), "failed: Warning: unknown method \"push\"");
  EXPECT_EQ(invoke(literal({I(1)}), "valueOf"), "failed: Warning: unknown method \"valueOf\"");
}

TEST_F(ArrayClass, JoinAndToString) {
  Value holes = constructed("Array", {I(3)});
  keep("holes", holes);
  Value mixed = literal({I(1), Value(), str("x"), Value::null(), Value::fromReal(2.5), Value::fromBoolean(true)});
  const struct {
    Value array;
    const char* method;
    std::initializer_list<Value> args;
    const char* expected;
  } cases[] = {
      {holes, "join", {}, "String \",,\""},
      {literal({}), "join", {}, "String \"\""},
      {mixed, "toString", {}, "String \"1,undefined,x,undefined,2.5,true\""},
      {mixed, "join", {str(" - ")}, "String \"1 - undefined - x - undefined - 2.5 - true\""},
      {mixed, "join", {I(0)}, "String \"10undefined0x0undefined02.50true\""},
      {literal({I(1), I(2)}), "join", {str("")}, "String \"12\""},
      {literal({literal({I(1), I(2)}), literal({})}), "join", {str(";")}, "String \"1,2;\""},
  };
  for (const auto& c : cases) EXPECT_EQ(invoke(c.array, c.method, c.args), c.expected) << show(c.array);
}

TEST_F(ArrayClass, JoinOfAnArrayInsideItselfLeavesTheInnerOneEmpty) {
  Value a = literal({I(1), I(2)});
  storeElement(engine(), *a.array(), 2, a);
  EXPECT_EQ(invoke(a, "join", {str("-")}), "String \"1-2-\"");
}

TEST_F(ArrayClass, PopPushShiftUnshift) {
  EXPECT_EQ(after(literal({}), "pop"), "Undefined | 0:");
  EXPECT_EQ(after(literal({str("a"), str("b")}), "pop"), "String \"b\" | 1:a");
  EXPECT_EQ(after(constructed("Array", {I(2)}), "pop"), "Undefined | 1:_");
  EXPECT_EQ(after(literal({str("a")}), "push", {str("b"), str("c")}), "Integer 3 | 3:a,b,c");
  EXPECT_EQ(after(literal({}), "push"), "Integer 0 | 0:");
  EXPECT_EQ(after(literal({str("a"), str("b"), str("c")}), "shift"), "String \"a\" | 2:b,c");
  EXPECT_EQ(after(literal({}), "shift"), "Undefined | 0:");
  EXPECT_EQ(after(constructed("Array", {I(3)}), "shift"), "Undefined | 2:_,_");
  EXPECT_EQ(after(literal({str("a")}), "unshift", {str("x"), str("y")}), "Integer 3 | 3:y,x,a");
  EXPECT_EQ(after(literal({str("a")}), "unshift"), "Integer 1 | 1:a");
}

TEST_F(ArrayClass, Reverse) {
  EXPECT_EQ(after(literal({I(1), I(2), I(3)}), "reverse"), "Undefined | 3:3,2,1");
  Value a = constructed("Array", {I(4)});
  keep("a", a);
  storeElement(engine(), *a.array(), 0, I(9));
  EXPECT_EQ(after(a, "reverse"), "Undefined | 4:_,_,_,9");
}

TEST_F(ArrayClass, Slice) {
  auto five = [&] { return literal({str("a"), str("b"), str("c"), str("d"), str("e")}); };
  const struct {
    std::initializer_list<Value> args;
    const char* expected;
  } cases[] = {
      {{}, "5:a,b,c,d,e"},
      {{I(-2)}, "2:d,e"},
      {{I(3), I(1)}, "2:b,c"},
      {{I(1), I(3)}, "2:b,c"},
      {{I(-99)}, "5:a,b,c,d,e"},
      {{I(2), I(-99)}, "0:"},  // a still-negative end becomes the start
      {{I(3), I(8)}, "5:d,e,_,_,_"},  // the length is the distance, past the end too
      {{Value::fromReal(2), Value::fromReal(3)}, "5:a,b,c,d,e"},  // Reals count as absent
      {{str("1")}, "5:a,b,c,d,e"},
  };
  for (const auto& c : cases) {
    Value array = five();
    ASSERT_EQ(invoke(array, "slice", c.args), "Array");
    EXPECT_EQ(show(engine().lastResult), c.expected);
    EXPECT_EQ(show(array), "5:a,b,c,d,e");
  }
}

TEST_F(ArrayClass, Splice) {
  const struct {
    std::initializer_list<Value> elements;
    std::initializer_list<Value> args;
    const char* removed;
    const char* left;
  } cases[] = {
      {{str("a"), str("b"), str("c"), str("d")}, {I(1), I(2)}, "2:b,c", "2:a,d"},
      {{str("a"), str("b")}, {I(1), I(0), str("x"), str("y")}, "0:", "4:a,x,y,b"},
      {{str("a"), str("b")}, {I(5), I(0), str("x")}, "0:", "6:a,b,_,_,_,x"},
      {{str("a"), str("b"), str("c")}, {I(1)}, "2:b,c", "1:a"},
      {{str("a"), str("b"), str("c")}, {}, "3:a,b,c", "0:"},
      {{str("a"), str("b"), str("c")}, {I(-1), I(9)}, "1:c", "2:a,b"},
      {{str("a"), str("b"), str("c")}, {I(1), I(-4), str("x")}, "0:", "4:a,x,b,c"},
      {{str("a"), str("b"), str("c")}, {I(0), I(2), str("x")}, "2:a,b", "2:x,c"},
      {{str("a"), str("b"), str("c"), str("d")}, {I(0), I(1), str("x"), str("y"), str("z")}, "1:a", "6:x,y,z,b,c,d"},
      {{str("a"), str("b")}, {Value::fromReal(1), str("2")}, "2:a,b", "0:"},
  };
  for (const auto& c : cases) {
    Value array = literal(c.elements);
    ASSERT_EQ(invoke(array, "splice", c.args), "Array");
    EXPECT_EQ(show(engine().lastResult), c.removed);
    EXPECT_EQ(show(array), c.left);
  }
}

TEST_F(ArrayClass, LengthWrites) {
  Value a = literal({str("a"), str("b"), str("c")});
  EXPECT_TRUE(assign(a, "length", I(1)));
  EXPECT_EQ(show(a), "1:a");
  const Value ignored[] = {str("2"), I(-1), Value::fromReal(-1), Value::nan(), Value(), Value::fromBoolean(true)};
  for (const Value& v : ignored) {
    EXPECT_TRUE(assign(a, "length", v));
    EXPECT_EQ(show(a), "1:a") << describe(v);
  }
  EXPECT_TRUE(assign(a, "length", Value::fromReal(3.9)));
  EXPECT_EQ(show(a), "3:a,_,_");
  EXPECT_EQ(property(a, "length"), "Integer 3");
}

TEST_F(ArrayClass, Concat) {
  Value a = literal({str("a")});
  Value holes = constructed("Array", {I(2)});
  keep("holes", holes);
  ASSERT_EQ(invoke(a, "concat", {literal({str("b"), str("c")}), str("d"), holes, I(5)}), "Array");
  EXPECT_EQ(show(engine().lastResult), "7:a,b,c,d,_,_,5");
  EXPECT_EQ(show(a), "1:a");
  ASSERT_EQ(invoke(a, "concat", {a}), "Array");
  EXPECT_EQ(show(engine().lastResult), "2:a,a");
}

TEST_F(ArrayClass, SparseArraysNear2To63WorkInTheElementsThatExist) {
  Value a = literal({str("first")});
  const uint64_t far = (uint64_t(1) << 63) - 2;
  storeElement(engine(), *a.array(), far, str("last"));
  EXPECT_EQ(property(a, "length"), "Integer 9223372036854775807");
  EXPECT_EQ(invoke(a, "pop"), "String \"last\"");
  storeElement(engine(), *a.array(), far, str("last"));
  EXPECT_EQ(invoke(a, "push", {str("more")}), "Real 9223372036854775808");
  EXPECT_EQ(invoke(a, "join", {str("")}), "String \"firstlastmore\"");
  EXPECT_EQ(invoke(a, "join"), "failed: Runtime error: Out of memory");
  ASSERT_EQ(invoke(a, "slice", {I(-2)}), "Array");
  EXPECT_EQ(show(engine().lastResult), "2:last,more");
  EXPECT_EQ(invoke(a, "unshift", {str("zero")}), "Real 9223372036854775808");
  EXPECT_EQ(invoke(a, "shift"), "String \"zero\"");
  EXPECT_EQ(invoke(a, "reverse"), "Undefined");
  EXPECT_EQ(text(*findElement(*a.array(), 0)), "more");
  EXPECT_EQ(invoke(a, "sort"), "Undefined");
  EXPECT_EQ(show(a).substr(0, 30), "9223372036854775808:first,last");
  ASSERT_EQ(invoke(a, "splice", {I(1)}), "Array");
  EXPECT_EQ(property(engine().lastResult, "length"), "Integer 9223372036854775807");
  EXPECT_EQ(show(a), "1:first");
}

TEST_F(ArrayClass, TenMillionElementsPushJoinSortAndReverse) {
  Value a = literal({});
  ArrayRecord& array = *a.array();
  const int64_t n = 10'000'000;
  for (int64_t i = 0; i < n; ++i) storeElement(engine(), array, uint64_t(i), I(i % 10));
  ASSERT_EQ(invoke(a, "join", {str("")}), "String \"" + [&] {
    std::string s;
    for (int64_t i = 0; i < n; ++i) s += char('0' + i % 10);
    return s;
  }() + "\"");
  EXPECT_EQ(invoke(a, "reverse"), "Undefined");
  EXPECT_EQ(findElement(array, 0)->integer(), 9);
  EXPECT_EQ(invoke(a, "push", {I(1)}), "Integer 10000001");
  EXPECT_EQ(invoke(a, "shift"), "Integer 9");
}

TEST_F(ArrayClass, SortDefaultComparesTextsAndPutsUndefinedLast) {
  const struct {
    std::initializer_list<Value> elements;
    const char* expected;
  } cases[] = {
      {{I(3), I(1), I(2)}, "3:1,2,3"},
      {{I(10), I(9), I(1)}, "3:1,10,9"},
      {{str("b"), Value(), str("a")}, "3:a,b,Undefined"},
      {{Value(), str("B"), str("a"), Value(), str("A")}, "5:A,B,a,Undefined,Undefined"},
      {{Value::null(), str("une"), str("unc")}, "3:unc,Null,une"},  // Null reads "undefined"
      {{}, "0:"},
  };
  for (const auto& c : cases) {
    Value array = literal(c.elements);
    EXPECT_EQ(invoke(array, "sort"), "Undefined");
    EXPECT_EQ(show(array), c.expected);
  }
  // Holes are squeezed out; the length stays.
  Value sparse = constructed("Array", {I(6)});
  keep("sparse", sparse);
  storeElement(engine(), *sparse.array(), 4, str("x"));
  storeElement(engine(), *sparse.array(), 1, str("y"));
  invoke(sparse, "sort");
  EXPECT_EQ(show(sparse), "6:x,y,_,_,_,_");
}

TEST_F(ArrayClass, SortWithAComparisonIsStableAndReadsTheSignOfTheAnswer) {
  // Pairs [key, tag] sorted by key only: equal keys keep their order.
  auto byKey = method([](Engine&, const Value*, const Value* args) {
    int64_t a = findElement(*args[1].array(), 0)->integer();
    int64_t b = findElement(*args[2].array(), 0)->integer();
    return Value::fromInteger(a - b);
  });
  keep("byKey", byKey);
  Value pairs = literal({});
  const int64_t keys[] = {3, 1, 3, 2, 1, 3, 2, 1};
  for (int64_t i = 0; i < 8; ++i) storeElement(engine(), *pairs.array(), uint64_t(i), literal({I(keys[i]), I(i)}));
  EXPECT_EQ(invoke(pairs, "sort", {byKey}), "Undefined");
  std::string order;
  for (uint64_t i = 0; i < 8; ++i) order += std::to_string(findElement(*findElement(*pairs.array(), i)->array(), 1)->integer());
  EXPECT_EQ(order, "14736025");

  // Answers of other kinds: a Real by its sign, true as greater, false and Undefined as equal.
  const struct {
    Value answer;
    const char* expected;
  } answers[] = {
      {Value::fromReal(0.5), "3:3,2,1"},   {Value::fromReal(-0.5), "3:1,2,3"}, {Value::fromBoolean(true), "3:3,2,1"},
      {Value::fromBoolean(false), "3:1,2,3"}, {Value(), "3:1,2,3"},        {I(-7), "3:1,2,3"},
  };
  for (const auto& c : answers) {
    Value fixed = method(answering(c.answer));
    keep("fixed", fixed);
    Value array = literal({I(1), I(2), I(3)});
    invoke(array, "sort", {fixed});
    EXPECT_EQ(show(array), c.expected) << describe(c.answer);
  }
}

TEST_F(ArrayClass, SortPassesAComparisonErrorOnAndLeavesTheArrayAlone) {
  Value thrower = method(failing());
  keep("thrower", thrower);
  Value array = literal({I(2), I(1)});
  EXPECT_EQ(invoke(array, "sort", {thrower}), "failed: Runtime error: thrown");
  EXPECT_EQ(show(array), "2:2,1");
  // A comparison that is not a function: the default order.
  invoke(array, "sort", {I(5)});
  EXPECT_EQ(show(array), "2:1,2");
}

TEST_F(ArrayClass, SortSurvivesAComparisonThatEmptiesTheArrayAndCollects) {
  Value array = literal({});
  for (int i = 0; i < 50; ++i) storeElement(engine(), *array.array(), uint64_t(i), str(std::to_string(i % 7)));
  Value vandal = method([](Engine& engine, const Value*, const Value* args) {
    ArrayRecord& a = *globalSlot(engine, "victim").array();
    setArrayLength(engine, a, 0);
    collectGarbage(engine, engine.sp);
    return Value::fromInteger(compareStrings(*args[1].string(), *args[2].string()));
  });
  keep("vandal", vandal);
  keep("victim", array);
  EXPECT_EQ(invoke(array, "sort", {vandal}), "Undefined");
  EXPECT_EQ(show(array).substr(0, 12), "50:0,0,0,0,0");
}

}  // namespace
}  // namespace vexil::script::test
