// The project file's JSON reader: values and the line each starts on, and mistakes named by line.
#include <gtest/gtest.h>

#include "tools/vxpack/project/json_value.h"

namespace vexil::project {
namespace {

using Kind = JsonValue::Kind;

TEST(JsonReader, ReadsEveryKindAndTheLineOfEachValueAndKey) {
  JsonValue v = parseJson("\xEF\xBB\xBF{\n  \"a\": [1, -2.5e1, true, false, null],\n\n  \"b\": {\"c\": \"x\\u00e9\\ud83d\\ude00\\n\"}\n}");
  ASSERT_EQ(v.kind, Kind::Object);
  EXPECT_EQ(v.line, 1);
  ASSERT_EQ(v.members.size(), 2u);
  EXPECT_EQ(v.memberLines, (std::vector<int>{2, 4}));
  const JsonValue& a = *v.find("a");
  ASSERT_EQ(a.items.size(), 5u);
  EXPECT_EQ(a.items[0].number, 1);
  EXPECT_EQ(a.items[1].number, -25);
  EXPECT_EQ(a.items[1].text, "-2.5e1");
  EXPECT_TRUE(a.items[2].boolean);
  EXPECT_EQ(a.items[3].kind, Kind::Boolean);
  EXPECT_EQ(a.items[4].kind, Kind::Null);
  const JsonValue& c = *v.find("b")->find("c");
  EXPECT_EQ(c.text, "x\xC3\xA9\xF0\x9F\x98\x80\n");
  EXPECT_EQ(c.line, 4);
  EXPECT_EQ(v.find("z"), nullptr);
}

TEST(JsonReader, NamesTheLineOfEachMistake) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"{\n\"a\": 1,\n\"a\": 2}", 3, "given twice"},
      {"{\n\"a\": 1\n\"b\": 2}", 3, "',' or '}'"},
      {"[1,\n2,\n]", 3, "unexpected character"},
      {"{\"a\": \"line\nend\"}", 1, "line end"},
      {"{\"a\": 01}", 1, "',' or '}'"},
      {"{\"a\": 1.}", 1, "digits after"},
      {"{\"a\": \"\\q\"}", 1, "unknown escape"},
      {"{\"a\": \"\\ud800\"}", 1, "surrogate"},
      {"{\"a\": tru}", 1, "unexpected character"},
      {"{\"a\": 1e999}", 1, "out of range"},
      {"\n\n{\"a\": 1", 3, "',' or '}'"},
      {"{} {}", 1, "after the end"},
      {"", 1, "end of the file"},
      {"{'a': 1}", 1, "key in quotes"},
  };
  for (const Case& c : cases) {
    try {
      parseJson(c.text);
      ADD_FAILURE() << c.text << ": accepted";
    } catch (const JsonError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.text << ": " << e.what();
    }
  }
}

TEST(JsonReader, RefusesDeepNestingInsteadOfExhaustingTheStack) {
  EXPECT_THROW(parseJson(std::string(100000, '[')), JsonError);
  EXPECT_NO_THROW(parseJson(std::string(30, '[') + std::string(30, ']')));
}

}  // namespace
}  // namespace vexil::project
