#include <string>

#include "script/compiler/keyword_table.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

TEST(KeywordTable, HoldsTheReservedWordsWithTheirKinds) {
  KeywordTable table;
  table.fill();
  const char* words[] = {"break",   "continue", "delete", "else",    "for",    "function", "if",
                         "in",      "new",      "return", "this",    "typeof", "var",      "void",
                         "while",   "with",     "case",   "catch",   "class",  "const",    "debugger",
                         "default", "do",       "enum",   "export",  "extends", "finally", "import",
                         "super",   "switch",   "throw",  "try",     "null",   "true",     "false"};
  TokenKind kind = 133;
  for (const char* word : words) EXPECT_EQ(table.lookup(word), kind++) << word;
  EXPECT_EQ(kind, 168);
  EXPECT_EQ(table.lookup("undefined"), 192);
}

TEST(KeywordTable, AnAbsentWordAnswersTheEndKind) {
  KeywordTable table;
  table.fill();
  for (const char* word : {"instanceof", "Break", "arguments", "", "undefine", "functions"}) {
    EXPECT_EQ(table.lookup(word), kTokenEnd) << word;
  }
}

TEST(KeywordTable, FillingTwiceAddsNothingTwice) {
  KeywordTable table;
  table.fill();
  table.fill();
  EXPECT_FALSE(table.add("while", kTokenWhile));
  EXPECT_EQ(table.lookup("while"), kTokenWhile);
}

}  // namespace
}  // namespace vexil::script::test
