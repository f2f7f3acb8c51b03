// The String methods that take a RegExp, through the hooks the class installs in the engine.
#include <string>

#include "objects/regexp/regexp_class.h"
#include "objects/regexp/regexp_state.h"
#include "script/runtime/array_elements.h"
#include "tests/objects/date/class_fixture.h"

namespace vexil::objects::test {

using Texts = std::vector<std::string>;

class StringHooksTest : public ClassTest {
 protected:
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::RegExp, registerRegExp);
  }
  Value re(std::string_view pattern, std::string_view flags = "") {
    return construct("RegExp", {str(pattern), str(flags)});
  }
  using Hook = bool (*)(script::Engine&, const Value&, const Value*, Value&);
  // Runs a hook on the string; handled says whether it took the call.
  Value run(Hook hook, std::string_view subject, std::initializer_list<Value> args) {
    auto block = script::argumentBlock(args);
    Value self = str(subject);
    Value result;
    handled = hook(engine(), self, block.data(), result);
    return hold(result);
  }
  Value match(std::string_view s, std::initializer_list<Value> a) { return run(engine().regexp.match, s, a); }
  Value replace(std::string_view s, std::initializer_list<Value> a) { return run(engine().regexp.replace, s, a); }
  Value search(std::string_view s, std::initializer_list<Value> a) { return run(engine().regexp.search, s, a); }
  Value split(std::string_view s, std::initializer_list<Value> a) { return run(engine().regexp.split, s, a); }

  static Texts elements(const Value& v) {
    Texts out;
    if (!v.is(Tag::Array)) return out;
    for (uint64_t i = 0; i < v.array()->length(); ++i) {
      Value* e = script::findElement(*v.array(), i);
      out.push_back(e && e->is(Tag::String) ? text(*e) : "<undefined>");
    }
    return out;
  }
  std::string statics(const char* name) {
    Value v = get(classObject("RegExp"), name);
    return v.is(Tag::String) ? text(v) : "<not a string>";
  }
};

TEST_F(StringHooksTest, PlainPatternsAreLeftToTheStringClass) {
  for (Hook hook : {engine().regexp.match, engine().regexp.replace, engine().regexp.search, engine().regexp.split}) {
    run(hook, "abc", {str("b"), str("x")});
    EXPECT_FALSE(handled);
    run(hook, "abc", {});
    EXPECT_FALSE(handled);
  }
}

TEST_F(StringHooksTest, Match) {
  Value m = match("x12y345", {re("([0-9])[0-9]*")});
  EXPECT_TRUE(handled);
  EXPECT_EQ(elements(m), (Texts{"12", "1"}));
  Value all = match("x12y345z", {re("[0-9]+", "g")});
  EXPECT_EQ(elements(all), (Texts{"12", "345"}));
  EXPECT_EQ(statics("lastMatch"), "345");
  EXPECT_EQ(statics("leftContext"), "x12y");
  EXPECT_TRUE(match("abc", {re("[0-9]+", "g")}).is(Tag::Null));
  EXPECT_TRUE(match("abc", {re("[0-9]+")}).is(Tag::Null));
  // Empty matches step on instead of repeating.
  EXPECT_EQ(elements(match("ab", {re("x*", "g")})), (Texts{"", "", ""}));
  // A global match leaves lastIndex at 0.
  Value g = re("b", "g");
  set(g, "lastIndex", integer(2));
  EXPECT_EQ(elements(match("abab", {g})), (Texts{"b", "b"}));
  EXPECT_EQ(get(g, "lastIndex").integer(), 0);
}

TEST_F(StringHooksTest, ReplaceWithSubstitutions) {
  const struct {
    const char* subject;
    const char* pattern;
    const char* flags;
    const char* replacement;
    const char* result;
  } cases[] = {
      {"hello world", "o", "", "0", "hell0 world"},
      {"hello world", "o", "g", "0", "hell0 w0rld"},
      {"hello world", "(l+)(o)", "", "[$2$1]", "he[oll] world"},
      {"hello world", "w", "", "<$`|$&|$'>", "hello <hello |w|orld>orld"},
      {"hello world", "o", "", "$$", "hell$ world"},
      {"hello world", "o", "", "$", "hell$ world"},
      {"hello world", "o", "", "$5$x$", "hell$5$x$ world"},      // no such group: left as is
      {"abc", "(a)(x)?", "", "[$2]", "[]bc"},                   // a group that did not take part
      {"abcdefghijkl", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "", "$11-$10-$1", "k-j-al"},
      {"abcdefghijkl", "(a)(b)", "", "$10", "a0cdefghijkl"},     // $1 then "0"
      {"abc", "x*", "g", "-", "-a-b-c-"},
      {"aaa", "a", "g", "$&$&", "aaaaaa"},
      {"abc", "z", "g", "-", "abc"},                            // no match: the string unchanged
      {"ABC", "b", "gi", "x", "AxC"},
  };
  for (const auto& c : cases) {
    Value r = replace(c.subject, {re(c.pattern, c.flags), str(c.replacement)});
    EXPECT_TRUE(handled);
    EXPECT_EQ(text(r), c.result) << c.subject << " " << c.pattern << " " << c.replacement;
  }
  // The replacement must be a string.
  Value r = replace("abc", {re("b"), integer(1)});
  EXPECT_TRUE(handled);
  EXPECT_EQ(text(r), "");
  EXPECT_EQ(text(replace("abc", {re("b")})), "");
  // The last-match state describes the last replaced match.
  replace("a1b2c", {re("[0-9]", "g"), str("#")});
  EXPECT_EQ(statics("lastMatch"), "2");
  EXPECT_EQ(statics("rightContext"), "c");
}

TEST_F(StringHooksTest, Search) {
  EXPECT_EQ(search("abc123", {re("[0-9]")}).integer(), 3);
  EXPECT_TRUE(handled);
  EXPECT_EQ(search("abc", {re("[0-9]")}).integer(), -1);
  // lastIndex plays no part.
  Value g = re("[a-z]", "g");
  set(g, "lastIndex", integer(2));
  EXPECT_EQ(search("abc", {g}).integer(), 0);
  EXPECT_EQ(get(g, "lastIndex").integer(), 2);
  EXPECT_EQ(statics("lastMatch"), "a");
}

TEST_F(StringHooksTest, Split) {
  const struct {
    const char* subject;
    const char* pattern;
    int64_t limit;  // -1: none given
    Texts result;
  } cases[] = {
      {"a, b,c", ", *", -1, {"a", "b", "c"}},
      {"a1b22c", "[0-9]+", -1, {"a", "b", "c"}},
      {"a1b22c", "[0-9]+", 2, {"a", "b"}},
      {"a1b22c", "[0-9]+", 0, {}},
      {"abc", "", -1, {"abc"}},  // an empty pattern is "^"
      {"abc", "x*", -1, {"a", "b", "c"}},
      {"a1b2", "([0-9])", -1, {"a", "1", "b", "2", ""}},
      {"a1b", "([0-9])(x)?", -1, {"a", "1", "<undefined>", "b"}},
      {"a1b", "([0-9])", 2, {"a", "1"}},
      {",a,", ",", -1, {"", "a", ""}},
      {"", ",", -1, {""}},
      {"", "x*", -1, {}},
      {"abc", "z", -1, {"abc"}},
  };
  for (const auto& c : cases) {
    Value r = c.limit < 0 ? split(c.subject, {re(c.pattern)}) : split(c.subject, {re(c.pattern), integer(c.limit)});
    EXPECT_TRUE(handled);
    EXPECT_EQ(elements(r), c.result) << c.subject << " / " << c.pattern << " / " << c.limit;
    EXPECT_TRUE(r.is(Tag::Array));
  }
}

TEST_F(StringHooksTest, LongSubjectsStayLinear) {
  std::string subject;
  for (int i = 0; i < 20000; ++i) subject += "ab ";
  Value parts = split(subject, {re(" ")});
  EXPECT_EQ(parts.array()->length(), 20001u);
  Value replaced = replace(subject, {re("b", "g"), str("")});
  EXPECT_EQ(text(replaced).size(), 40000u);
  Value all = match(subject, {re("a", "g")});
  EXPECT_EQ(all.array()->length(), 20000u);
}

}  // namespace vexil::objects::test
