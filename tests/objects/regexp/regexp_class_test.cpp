// The RegExp class through the engine's call entries: construction and flags, exec, test and
// calls with lastIndex, compile, the last-match properties and the error trace line.
#include <string>

#include "objects/regexp/regexp_class.h"
#include "objects/regexp/regexp_state.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/collector.h"
#include "script/runtime/property_table.h"
#include "tests/objects/date/class_fixture.h"

namespace vexil::objects::test {

class RegExpTest : public ClassTest {
 protected:
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::RegExp, registerRegExp);
  }

  Value re(std::string_view pattern, std::string_view flags = "") {
    return construct("RegExp", {str(pattern), str(flags)});
  }
  // The elements of an array value as texts ("<undefined>" for a missing or non-string one).
  std::vector<std::string> elements(const Value& v) {
    std::vector<std::string> out;
    if (!v.is(Tag::Array)) return out;
    for (uint64_t i = 0; i < v.array()->length(); ++i) {
      Value* e = script::findElement(*v.array(), i);
      out.push_back(e && e->is(Tag::String) ? text(*e) : "<undefined>");
    }
    return out;
  }
  Value arrayProperty(const Value& array, const char* name) {
    return script::getProperty(engine(), array.array()->props, script::intern(engine(), name));
  }
  int64_t lastIndex(const Value& r) { return get(r, "lastIndex").integer(); }
  std::string statics(const char* name) { return describe(get(classObject("RegExp"), name)); }
  static std::string describe(const Value& v) {
    if (v.is(Tag::Null)) return "<null>";
    if (v.is(Tag::Undefined)) return "<undefined>";
    return text(v);
  }
};

using Texts = std::vector<std::string>;

TEST_F(RegExpTest, ConstructionFlagsAndText) {
  Value r = re("a+b", "mig");
  EXPECT_EQ(text(call(r, "toString")), "/a+b/gim");
  EXPECT_TRUE(get(r, "global").boolean());
  EXPECT_TRUE(get(r, "ignoreCase").boolean());
  EXPECT_TRUE(get(r, "multiline").boolean());
  EXPECT_EQ(text(get(r, "source")), "a+b");
  EXPECT_EQ(lastIndex(r), 0);
  Value plain = re("x", "zq");  // unknown letters are ignored
  EXPECT_EQ(text(call(plain, "toString")), "/x/");
  EXPECT_FALSE(get(plain, "global").boolean());
  // A non-string pattern is empty, an empty pattern is "^", which matches every string at 0.
  Value empty = construct("RegExp", {integer(5), integer(7)});
  EXPECT_EQ(text(get(empty, "source")), "^");
  EXPECT_EQ(text(call(empty, "toString")), "/^/");
  Value m = call(empty, "exec", {str("anything")});
  EXPECT_EQ(elements(m), Texts{""});
  EXPECT_EQ(arrayProperty(m, "index").integer(), 0);
  // The class itself, and calling it as a function.
  EXPECT_EQ(text(call(classObject("RegExp"), "toString")), "[Object RegExp]");
  Value called = callGlobal("RegExp", {str("b"), str("g")});
  EXPECT_TRUE(isRegExp(called));
  EXPECT_EQ(text(call(called, "toString")), "/b/g");
  EXPECT_TRUE(traced.empty());
}

TEST_F(RegExpTest, InvalidPatternsGiveNullAndOneTraceLine) {
  for (const std::string& pattern : std::vector<std::string>{"(ab", "a{2,1}", "[z-a]", "*a", "a\\", std::string(100000, '('),
                              std::string(50000, 'a') + "("}) {
    traced.clear();
    Value r = re(pattern);
    EXPECT_TRUE(r.is(Tag::Null)) << pattern.substr(0, 20);
    ASSERT_EQ(traced.size(), 1u) << pattern.substr(0, 20);
    EXPECT_EQ(traced[0].rfind(kRegExpErrorPrefix, 0), 0u) << traced[0];
    EXPECT_LE(traced[0].size(), kRegExpErrorMax + 2);
    EXPECT_EQ(traced[0].substr(traced[0].size() - 2), "\r\n");
  }
  traced.clear();
  re("(ab");
  EXPECT_EQ(traced[0], std::string(kRegExpErrorPrefix) + "Unmatched marking parenthesis ( or \\(.\r\n");
}

TEST_F(RegExpTest, GlobalExecWalksTheMatchesThenResets) {
  Value r = re("[0-9]+", "g");
  Value subject = str("a1 b22 c333");
  Texts found;
  std::vector<int64_t> indices, lastIndices;
  for (int guard = 0; guard < 10; ++guard) {
    Value m = call(r, "exec", {subject});
    if (m.is(Tag::Null)) break;
    found.push_back(elements(m)[0]);
    indices.push_back(arrayProperty(m, "index").integer());
    lastIndices.push_back(lastIndex(r));
    EXPECT_EQ(text(arrayProperty(m, "input")), "a1 b22 c333");
  }
  EXPECT_EQ(found, (Texts{"1", "22", "333"}));
  EXPECT_EQ(indices, (std::vector<int64_t>{1, 4, 8}));
  EXPECT_EQ(lastIndices, (std::vector<int64_t>{2, 6, 11}));
  EXPECT_EQ(lastIndex(r), 0);
  // Without an argument exec reuses the last subject.
  EXPECT_EQ(elements(call(r, "exec")), Texts{"1"});
  EXPECT_EQ(elements(call(r, "exec")), Texts{"22"});
  // A non-global expression leaves lastIndex alone but still starts there.
  Value once = re("[0-9]");
  EXPECT_EQ(elements(call(once, "exec", {subject})), Texts{"1"});
  EXPECT_EQ(lastIndex(once), 0);
  set(once, "lastIndex", integer(5));
  EXPECT_EQ(elements(call(once, "exec", {subject})), Texts{"2"});
  EXPECT_EQ(lastIndex(once), 5);
  // The text before lastIndex is cut off: "^" matches there.
  Value anchored = re("^b", "g");
  set(anchored, "lastIndex", integer(3));
  Value m = call(anchored, "exec", {subject});
  EXPECT_EQ(arrayProperty(m, "index").integer(), 3);
  // lastIndex past the end searches the empty rest.
  set(anchored, "lastIndex", integer(99));
  EXPECT_TRUE(call(anchored, "exec", {subject}).is(Tag::Null));
  EXPECT_EQ(lastIndex(anchored), 0);
}

TEST_F(RegExpTest, MatchArraysStopAtTheFirstMissingGroup) {
  Value r = re("(a)(b)?(c)");
  Value m = call(r, "exec", {str("xac")});
  EXPECT_EQ(elements(m), (Texts{"ac", "a"}));
  EXPECT_EQ(arrayProperty(m, "index").integer(), 1);
  EXPECT_EQ(statics("$1"), "a");
  EXPECT_EQ(statics("$2"), "<null>");
  EXPECT_EQ(statics("$3"), "c");
  EXPECT_EQ(statics("$9"), "<null>");
  EXPECT_EQ(statics("lastParen"), "a");
  EXPECT_EQ(statics("lastMatch"), "ac");
  EXPECT_EQ(statics("leftContext"), "x");
  EXPECT_EQ(statics("rightContext"), "");
  EXPECT_EQ(statics("input"), "xac");
  EXPECT_EQ(statics("$_"), "xac");
  // Instances answer the same properties; writes are ignored.
  EXPECT_EQ(describe(get(r, "lastMatch")), "ac");
  set(classObject("RegExp"), "lastMatch", str("changed"));
  EXPECT_TRUE(handled);
  EXPECT_EQ(statics("lastMatch"), "ac");
  Value all = call(re("(a)(b)(c)"), "exec", {str("abc")});
  EXPECT_EQ(elements(all), (Texts{"abc", "a", "b", "c"}));
  EXPECT_EQ(statics("lastParen"), "c");
  EXPECT_EQ(statics("rightContext"), "");
  call(re("b"), "exec", {str("abc")});
  EXPECT_EQ(statics("lastParen"), "<null>");
  EXPECT_EQ(statics("leftContext"), "a");
  EXPECT_EQ(statics("rightContext"), "c");
}

TEST_F(RegExpTest, ContextIsNullWithoutAMatch) {
  for (const char* name : {"$1", "lastMatch", "lastParen", "leftContext", "rightContext"}) {
    EXPECT_EQ(statics(name), "<null>") << name;
  }
  Value r = re("(z)");
  call(r, "exec", {str("abc")});
  EXPECT_EQ(call(r, "exec", {str("abc")}).tag, Tag::Null);
  for (const char* name : {"$1", "lastMatch", "lastParen", "leftContext", "rightContext"}) {
    EXPECT_EQ(statics(name), "<null>") << name;
  }
  EXPECT_EQ(statics("input"), "abc");
  // A non-string subject is converted, and the text becomes the input.
  EXPECT_EQ(elements(call(re("[0-9]+"), "exec", {integer(1234)})), Texts{"1234"});
  EXPECT_EQ(statics("input"), "1234");
}

TEST_F(RegExpTest, TestAndCalls) {
  Value r = re("o", "g");
  Value subject = str("foo");
  EXPECT_TRUE(call(r, "test", {subject}).boolean());
  EXPECT_EQ(lastIndex(r), 2);
  EXPECT_TRUE(call(r, "test", {subject}).boolean());
  EXPECT_EQ(lastIndex(r), 3);
  EXPECT_FALSE(call(r, "test", {subject}).boolean());
  EXPECT_EQ(lastIndex(r), 0);
  EXPECT_FALSE(call(re("x"), "test", {subject}).boolean());
  EXPECT_TRUE(call(re("F", "i"), "test", {subject}).boolean());
  // An instance called as a function is exec.
  Value m = callValue(re("o+"), {subject});
  EXPECT_EQ(elements(m), Texts{"oo"});
  // lastIndex takes integers only.
  set(r, "lastIndex", real(2.0));
  EXPECT_EQ(lastIndex(r), 0);
  set(r, "lastIndex", integer(1));
  EXPECT_EQ(lastIndex(r), 1);
  set(r, "global", Value::fromBoolean(false));
  EXPECT_TRUE(get(r, "global").boolean());
}

TEST_F(RegExpTest, CompileReplacesPatternAndFlags) {
  Value r = re("a", "gi");
  EXPECT_FALSE(call(r, "compile").boolean());
  EXPECT_EQ(text(call(r, "toString")), "/a/gi");
  EXPECT_TRUE(call(r, "compile", {str("b+"), str("m")}).boolean());
  EXPECT_EQ(text(call(r, "toString")), "/b+/m");
  EXPECT_TRUE(call(r, "compile", {integer(12)}).boolean());
  EXPECT_EQ(text(call(r, "toString")), "/12/");
  EXPECT_TRUE(traced.empty());
  // A failed compile reports, answers false, and leaves an expression that matches nothing.
  EXPECT_FALSE(call(r, "compile", {str("(")}).boolean());
  EXPECT_EQ(traced.size(), 1u);
  EXPECT_EQ(text(get(r, "source")), "(");
  EXPECT_TRUE(call(r, "exec", {str("(((")}).is(Tag::Null));
  EXPECT_FALSE(call(r, "test", {str("(((")}).boolean());
}

TEST_F(RegExpTest, ConstructorAndCompileDialects) {
  // The constructor lets "\" escape inside brackets; compile does not.
  Value subject = str("a\\b");
  Value r = re("[\\\\]");
  EXPECT_EQ(arrayProperty(call(r, "exec", {subject}), "index").integer(), 1);
  Value tab = re("[\\t]");
  EXPECT_TRUE(call(tab, "exec", {subject}).is(Tag::Null));
  call(tab, "compile", {str("[\\t]")});
  EXPECT_EQ(arrayProperty(call(tab, "exec", {subject}), "index").integer(), 1);
  // "m" keeps "." off line breaks; "i" ignores case.
  Value lines = str("a\nb");
  EXPECT_FALSE(call(re("a.b", "m"), "test", {lines}).boolean());
  EXPECT_TRUE(call(re("a.b"), "test", {lines}).boolean());
  EXPECT_TRUE(call(re("A.B", "i"), "test", {lines}).boolean());
}

TEST_F(RegExpTest, OffsetsCountUtf16Units) {
  Value subject = str16(u"\U0001F600\u00e9x");
  Value m = call(re("x"), "exec", {subject});
  EXPECT_EQ(arrayProperty(m, "index").integer(), 3);
  Value g = re(".", "g");
  for (int i = 0; i < 4; ++i) call(g, "exec", {subject});
  EXPECT_EQ(lastIndex(g), 4);
  EXPECT_EQ(statics("lastMatch"), "x");
}

TEST_F(RegExpTest, CatastrophicPatternsEndAsNoMatchWithAReport) {
  Value r = re("(a*)*b");
  EXPECT_TRUE(call(r, "exec", {str(std::string(60, 'a'))}).is(Tag::Null));
  ASSERT_EQ(traced.size(), 1u);
  EXPECT_EQ(traced[0].rfind(std::string(kRegExpErrorPrefix) + "The complexity of matching", 0), 0u) << traced[0];
  EXPECT_LE(traced[0].size(), kRegExpErrorMax + 2);
  EXPECT_EQ(statics("lastMatch"), "<null>");
}

TEST_F(RegExpTest, TheLastInputSurvivesCollections) {
  call(re("(b+)"), "exec", {script::makeStringFromAnsi(engine(), "abbbc")});
  script::collectGarbage(engine(), engine().sp);
  Value filler = str(std::string(1000, 'z'));  // would reuse a freed block
  EXPECT_EQ(statics("input"), "abbbc");
  EXPECT_EQ(statics("$1"), "bbb");
  EXPECT_EQ(text(filler).size(), 1000u);
}

TEST_F(RegExpTest, ConstantsComeThroughTheHook) {
  ASSERT_NE(engine().regexp.fromConstant, nullptr);
  Value r = hold(engine().regexp.fromConstant(engine(), u"x+", kFlagGlobal | kFlagMultiline));
  EXPECT_EQ(text(call(r, "toString")), "/x+/gm");
  Value bad = engine().regexp.fromConstant(engine(), u"(", 0);
  EXPECT_TRUE(bad.is(Tag::Null));
  EXPECT_EQ(traced.size(), 1u);
  Value empty = hold(engine().regexp.fromConstant(engine(), u"", 0));
  EXPECT_EQ(text(get(empty, "source")), "^");
}

TEST_F(RegExpTest, RebindingTheGlobalDoesNotLoseTheClass) {
  Value r = re("q");
  script::globalSlot(engine(), "RegExp") = Value::null();
  script::collectGarbage(engine(), engine().sp);
  EXPECT_TRUE(isRegExp(r));
  Value fromHook = hold(engine().regexp.fromConstant(engine(), u"q", 0));
  EXPECT_TRUE(isRegExp(fromHook));
  EXPECT_TRUE(call(fromHook, "test", {str("aqa")}).boolean());
}

}  // namespace vexil::objects::test
