// The String class: construction, the length, every member's main path and bad arguments, the
// class object, the HTML wrappers with long texts, and the URI coding functions.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_encoding.h"
#include "script/builtins/string_builtin.h"
#include "script/builtins/uri_codec.h"
#include "script/runtime/array_elements.h"
#include "tests/script/builtins/builtin_fixture.h"

namespace vexil::script::test {
namespace {

class StringClass : public BuiltinTest {
 protected:
  void SetUp() override {
    BuiltinTest::SetUp();
    engine().traceOutput = [](void* data, const char* line) { *static_cast<std::string*>(data) += line; };
    engine().traceData = &trace_;
  }
  Value I(int64_t n) { return Value::fromInteger(n); }
  Value R(double d) { return Value::fromReal(d); }
  // Elements of an array result as "a|b|c" (with its length first).
  std::string pieces(const std::string& described) {
    if (described != "Array") return described;
    const ArrayRecord& a = *engine().lastResult.array();
    std::string out = std::to_string(a.length()) + ":";
    for (uint64_t i = 0; i < a.length(); ++i) {
      const Value* v = findElement(a, i);
      out += (i ? "|" : "") + (v ? text(*v) : std::string("_"));
    }
    return out;
  }
  std::string trace_;
};

TEST_F(StringClass, MembersOnStrings) {
  Value hello = str("hello");
  const struct {
    const char* method;
    std::vector<Value> args;
    const char* expected;
  } cases[] = {
      {"charAt", {I(1)}, "String \"e\""},
      {"charAt", {R(1.0)}, "String \"\""},
      {"charAt", {I(5)}, "String \"\""},
      {"charAt", {I(-1)}, "String \"\""},
      {"charAt", {}, "String \"\""},
      {"charCodeAt", {}, "Integer 104"},
      {"charCodeAt", {I(4)}, "Integer 111"},
      {"charCodeAt", {I(99)}, "NaN"},
      {"charCodeAt", {I(-1)}, "NaN"},
      {"charCodeAt", {R(0)}, "NaN"},
      {"concat", {str(" "), I(1), Value::fromBoolean(true)}, "String \"hello 1true\""},
      {"concat", {}, "String \"hello\""},
      {"indexOf", {str("lo")}, "Integer 3"},
      {"indexOf", {str("lo"), I(4)}, "Integer -1"},
      {"indexOf", {str("lo"), I(-1)}, "Integer -1"},
      {"indexOf", {str("l"), R(3.0)}, "Integer 2"},
      {"indexOf", {str(""), I(2)}, "Integer 2"},
      {"indexOf", {str(""), I(6)}, "Integer -1"},
      {"indexOf", {}, "Integer -1"},
      {"lastIndexOf", {str("l")}, "Integer 3"},
      {"lastIndexOf", {str("l"), I(2)}, "Integer 2"},
      {"lastIndexOf", {str("l"), I(1)}, "Integer -1"},
      {"lastIndexOf", {str("l"), I(99)}, "Integer 3"},
      {"lastIndexOf", {str("l"), I(-1)}, "Integer -1"},
      {"lastIndexOf", {str("hello!")}, "Integer -1"},
      {"lastIndexOf", {}, "Integer -1"},
      {"replace", {str("ll"), str("LL")}, "String \"heLLo\""},
      {"replace", {str("l"), str("")}, "String \"helo\""},
      {"replace", {str("zz"), str("x")}, "String \"hello\""},
      {"replace", {str("ll"), I(1)}, "String \"\""},
      {"replace", {str("ll")}, "String \"\""},
      {"search", {str("llo")}, "Integer 2"},
      {"search", {str("x")}, "Integer -1"},
      {"search", {I(1)}, "Integer -1"},
      {"search", {}, "Integer -1"},
      {"slice", {I(-3)}, "String \"llo\""},
      {"slice", {I(3), I(1)}, "String \"\""},
      {"slice", {I(1), I(-1)}, "String \"ell\""},
      {"slice", {I(-99), I(99)}, "String \"hello\""},
      {"slice", {I(1), R(3)}, "String \"\""},
      {"slice", {}, "String \"\""},
      {"substr", {I(-3), I(2)}, "String \"ll\""},
      {"substr", {I(1)}, "String \"ello\""},
      {"substr", {I(1), I(-2)}, "String \"\""},
      {"substr", {I(3), I(99)}, "String \"lo\""},
      {"substr", {I(99)}, "String \"\""},
      {"substr", {str("1")}, "String \"\""},
      {"substring", {I(3), I(1)}, "String \"\""},
      {"substring", {I(1), I(3)}, "String \"el\""},
      {"substring", {I(-5), I(99)}, "String \"hello\""},
      {"substring", {I(2), I(-1)}, "String \"\""},
      {"substring", {I(2)}, "String \"llo\""},
      {"toUpperCase", {}, "String \"HELLO\""},
      {"toString", {}, "String \"hello\""},
      {"valueOf", {}, "String \"hello\""},
      {"bold", {}, "String \"<B>hello</B>\""},
      {"fontColor", {}, "String \"<FONT COLOR=\"\">hello</FONT>\""},
      {"fontColor", {str("red")}, "String \"<FONT COLOR=\"red\">hello</FONT>\""},
      {"fontSize", {I(3)}, "String \"<FONT SIZE=\"3\">hello</FONT>\""},
      {"anchor", {str("a%sb")}, "String \"<A NAME=\"a%sb\">hello</A>\""},
      {"link", {str("u")}, "String \"<A HREF=\"u\">hello</A>\""},
      {"big", {}, "String \"<BIG>hello</BIG>\""},
      {"blink", {}, "String \"<BLINK>hello</BLINK>\""},
      {"fixed", {}, "String \"<TT>hello</TT>\""},
      {"italics", {}, "String \"<I>hello</I>\""},
      {"small", {}, "String \"<SMALL>hello</SMALL>\""},
      {"strike", {}, "String \"<STRIKE>hello</STRIKE>\""},
      {"sub", {}, "String \"<SUB>hello</SUB>\""},
      {"sup", {}, "String \"<SUP>hello</SUP>\""},
  };
  for (const auto& c : cases) {
    std::vector<Value> block = argumentBlock({});
    block[0].setInteger(int64_t(c.args.size()));
    block.insert(block.end(), c.args.begin(), c.args.end());
    ASSERT_TRUE(callMethod(engine(), hello, c.method, block.data())) << c.method << ": " << engine().message;
    EXPECT_EQ(describe(engine().lastResult), c.expected) << c.method << " with " << c.args.size() << " arguments";
  }
  EXPECT_EQ(text(hello), "hello");
}

TEST_F(StringClass, LengthIsReadOnly) {
  Value hello = str("hello");
  EXPECT_EQ(property(hello, "length"), "Integer 5");
  EXPECT_TRUE(assign(hello, "length", I(2)));
  EXPECT_EQ(property(hello, "length"), "Integer 5");
}

TEST_F(StringClass, ClassObjectKnowsOnlyFromCharCodeToStringAndValueOf) {
  Value cls = global("String");
  EXPECT_EQ(invoke(cls, "toString"), "String \"[Object String]\"");
  ASSERT_EQ(invoke(cls, "valueOf"), "Native");
  EXPECT_TRUE(sameValue(engine().lastResult, cls));
  EXPECT_EQ(invoke(cls, "fromCharCode", {I(72), I(105)}), "String \"Hi\"");
  EXPECT_EQ(invoke(cls, "fromCharCode", {str("65"), str(" -0x"), R(66.9), I(0x10043), Value()}),
            std::string("String \"A") + '\0' + "BC" + '\0' + "\"");
  EXPECT_EQ(invoke(cls, "charAt", {I(0)}), "failed: Warning: unknown method \"charAt\"");
  EXPECT_EQ(property(cls, "length"), "not handled");
}

TEST_F(StringClass, CallAndConstruct) {
  EXPECT_EQ(call("String", {}), "String \"\"");
  EXPECT_TRUE(engine().lastResult.string()->isStatic());
  EXPECT_EQ(call("String", {I(12)}), "String \"12\"");
  Value made = constructed("String", {I(12)});
  keep("made", made);
  EXPECT_EQ(describe(made), "String \"12\"");
  EXPECT_FALSE(made.string()->isStatic());
  ASSERT_NE(made.string()->props, nullptr);
  EXPECT_EQ(getProperty(engine(), made.string()->props, kAtomProto).table(), global("String").native()->cls->prototype);
  EXPECT_EQ(describe(constructed("String", {})), "String \"\"");
}

TEST_F(StringClass, Split) {
  const struct {
    const char* text;
    std::vector<Value> args;
    const char* expected;
  } cases[] = {
      {"a,b,,c", {str(",")}, "4:a|b||c"},
      {"a,b,,c", {str(","), I(2)}, "2:a|b"},
      {"a,b,,c", {str(","), I(0)}, "0:"},
      {"a,b,,c", {str(","), I(-1)}, "4:a|b||c"},
      {"a,b,", {str(",")}, "3:a|b|"},
      {"abc", {str("")}, "3:a|b|c"},
      {"abc", {str(""), I(2)}, "2:a|b"},
      {"abc", {}, "1:abc"},
      {"abc", {I(1)}, "1:abc"},
      {"a--b--", {str("--")}, "3:a|b|"},
      {"", {str(",")}, "1:"},
  };
  for (const auto& c : cases) {
    std::vector<Value> block = argumentBlock({});
    block[0].setInteger(int64_t(c.args.size()));
    block.insert(block.end(), c.args.begin(), c.args.end());
    ASSERT_TRUE(callMethod(engine(), str(c.text), "split", block.data()));
    EXPECT_EQ(pieces(describe(engine().lastResult)), c.expected) << c.text;
  }
}

TEST_F(StringClass, MatchWithoutRegExpGivesAnEmptyArray) {
  EXPECT_EQ(pieces(invoke(str("abc"), "match", {str("b")})), "0:");
}

TEST_F(StringClass, CaseMappingCoversLatinGreekAndCyrillic) {
  Value mixed = makeString(engine(), platform::utf8ToUtf16("Àÿ ÉßÆ Ωσ Жё Ÿ Ā ĸ ×÷ µ"));
  keep("mixed", mixed);
  ASSERT_EQ(invoke(mixed, "toLowerCase"), "String \"àÿ éßæ ωσ жё ÿ ā ĸ ×÷ µ\"");
  ASSERT_EQ(invoke(mixed, "toUpperCase"), "String \"ÀŸ ÉßÆ ΩΣ ЖЁ Ÿ Ā ĸ ×÷ µ\"");
}

TEST_F(StringClass, WrappersKeepLongTextsWhole) {
  std::string longText(5000, 'x');
  Value s = str(longText);
  EXPECT_EQ(invoke(s, "bold"), "String \"<B>" + longText + "</B>\"");
  EXPECT_EQ(invoke(str("y"), "link", {s}), "String \"<A HREF=\"" + longText + "\">y</A>\"");
}

TEST_F(StringClass, UriFunctions) {
  const struct {
    const char* function;
    const char* input;
    const char* expected;
  } cases[] = {
      {"encodeURIComponent", " ", "String \"%20\""},
      {"encodeURI", ";/?:@&=+$,#", "String \";/?:@&=+$,#\""},
      {"encodeURIComponent", ";/?:@&=+$,#", "String \"%3B%2F%3F%3A%40%26%3D%2B%24%2C%23\""},
      {"encodeURI", "aZ09-_.!~*'()", "String \"aZ09-_.!~*'()\""},
      {"encodeURI", "é€😀", "String \"%C3%A9%E2%82%AC%F0%9F%98%80\""},
      {"decodeURI", "%3B", "String \"%3B\""},
      {"decodeURIComponent", "%3B", "String \";\""},
      {"decodeURI", "%c3%A9%E2%82%AC%F0%9F%98%80%20x", "String \"é€😀 x\""},
      {"decodeURI", "%", "Undefined"},
      {"decodeURI", "%4", "Undefined"},
      {"decodeURI", "%G1", "Undefined"},
      {"decodeURI", "%80", "Undefined"},
      {"decodeURI", "%C3", "Undefined"},
      {"decodeURI", "%C3%41", "Undefined"},
      {"decodeURI", "%C0%80", "Undefined"},        // overlong
      {"decodeURI", "%ED%A0%80", "Undefined"},     // a surrogate's code point
      {"decodeURI", "%F4%90%80%80", "Undefined"},  // past 0x10FFFF
      {"decodeURI", "%FE", "Undefined"},
      {"decodeURI", "%F8%88%80%80%80", "Undefined"},
  };
  for (const auto& c : cases) {
    trace_.clear();
    Value input = makeString(engine(), platform::utf8ToUtf16(c.input));
    keep("input", input);
    EXPECT_EQ(call(c.function, {input}), c.expected) << c.function << " " << c.input;
    EXPECT_EQ(trace_, c.expected == std::string("Undefined") ? "Invalid URI string\r\n" : "") << c.input;
  }
  EXPECT_EQ(call("encodeURI", {}), "Undefined");
  EXPECT_EQ(call("encodeURIComponent", {I(12)}), "String \"12\"");
}

TEST_F(StringClass, UnpairedSurrogatesCannotBeEncoded) {
  const std::u16string bad[] = {u"\xDC00", u"a\xD800", u"\xD800z", u"\xDBFF\xDBFF"};
  for (const auto& units : bad) {
    trace_.clear();
    Value input = makeString(engine(), units);
    keep("input", input);
    EXPECT_EQ(call("encodeURI", {input}), "Undefined");
    EXPECT_EQ(trace_, "Invalid URI string\r\n");
  }
}

TEST_F(StringClass, UriRoundTripsEveryUnitPattern) {
  std::u16string all;
  for (char32_t c = 1; c < 0x800; ++c) all += char16_t(c);
  all += u"\xD83D\xDE00\xFFFF";
  auto encoded = encodeUri(all, kUriUnreserved);
  ASSERT_TRUE(encoded);
  auto decoded = decodeUri(*encoded, u"");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, all);
}

TEST_F(StringClass, HundredMegabyteStringsWorkOrRunOutOfMemoryCleanly) {
  Value big = makeString(engine(), 50'000'000);
  keep("big", big);
  std::fill_n(big.string()->units(), 50'000'000, u'a');
  big.string()->units()[49'999'999] = u'b';
  EXPECT_EQ(invoke(big, "indexOf", {str("b")}), "Integer 49999999");
  EXPECT_EQ(invoke(big, "lastIndexOf", {str("ab")}), "Integer 49999998");
  ASSERT_EQ(invoke(big, "toUpperCase").substr(0, 10), "String \"AA");
  const ScriptString& upper = *engine().lastResult.string();
  EXPECT_EQ(upper.length, 50'000'000u);
  EXPECT_EQ(upper.chars[49'999'999], u'B');
  ASSERT_EQ(invoke(big, "split", {str("b")}), "Array");
  EXPECT_EQ(engine().lastResult.array()->length(), 2u);
  ASSERT_EQ(invoke(big, "bold").substr(0, 12), "String \"<B>a");
  EXPECT_EQ(engine().lastResult.string()->length, 50'000'000u + 7);
  // Past what a string can hold: a clean failure.
  std::string doubled = invoke(big, "concat", {big, big, big, big, big, big, big, big, big, big, big, big, big, big, big,
                                                big, big, big, big, big, big, big, big, big, big, big, big, big, big, big,
                                                big, big, big, big, big, big, big, big, big, big, big, big, big});
  EXPECT_EQ(doubled, "failed: Runtime error: Out of memory");
}

}  // namespace
}  // namespace vexil::script::test
