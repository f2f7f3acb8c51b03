// Hostile sources: deep nesting, long chains and lines, stray bytes, NUL bytes, large texts. Each
// ends in a tree or a diagnostic.
#include <string>

#include "script/compiler/compile_messages.h"
#include "script/compiler/parser_internal.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

std::string repeat(std::string_view piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

const char kTooDeep[] = "error: line 0: syntax error: nesting too deep\r\n";

TEST_F(CompilerTest, DeepNestingEndsInADiagnostic) {
  const std::string sources[] = {
      repeat("(", 10000),
      repeat("(", 10000) + "a" + repeat(")", 10000),
      repeat("{", 10000),
      repeat("[", 10000),
      "x = " + repeat("{a:", 10000),
      repeat("!", 10000) + "a",
      repeat("new ", 10000) + "F",
      repeat("a = ", 10000) + "1",
      repeat("a ? b : ", 10000) + "c",
      repeat("f(", 10000),
      repeat("if (a) ", 10000) + ";",
      repeat("x = function () {", 10000),
      "function f() {" + repeat("function g() {", 10000),
  };
  for (const std::string& source : sources) {
    FrontEndResult result = parse(source);
    EXPECT_FALSE(result.ok) << source.substr(0, 20);
    EXPECT_EQ(result.diagnostics, kTooDeep) << source.substr(0, 20);
  }
}

TEST_F(CompilerTest, NestingBelowTheLimitParses) {
  const size_t depth = kMaxNesting / 4;
  EXPECT_TRUE(parse(repeat("(", depth) + "a" + repeat(")", depth)).ok);
  EXPECT_TRUE(parse(repeat("{", depth) + repeat("}", depth)).ok);
}

// Chains grow the tree on the left without nesting the parser: any length parses and prints.
TEST_F(CompilerTest, LongChainsParseAndPrint) {
  const size_t terms = 200000;
  for (std::string_view piece : {"+ 1 ", ", 1 ", ".a ", "(1) ", "[0] "}) {
    FrontEndResult result = parse("x " + repeat(piece, terms));
    ASSERT_TRUE(result.ok) << piece << result.diagnostics;
    EXPECT_GT(result.tree.size(), terms);
  }
}

TEST_F(CompilerTest, StrayBytesAreSyntaxErrorsOutsideLiterals) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    std::string source = "x = 1;\n" + std::string(1, char(byte));
    EXPECT_EQ(parse(source).diagnostics, "error: line 0: syntax error: invalid statement\r\n") << byte;
    EXPECT_TRUE(parse("x = '" + std::string(1, char(byte)) + "'").ok) << byte;
  }
  for (int byte = 1; byte < 0x20; ++byte) {
    if (byte >= 9 && byte <= 13) continue;
    EXPECT_FALSE(parse(std::string(1, char(byte))).ok) << byte;
  }
}

TEST_F(CompilerTest, ANulByteEndsTheSource) {
  FrontEndResult result = parse(std::string_view("a = 1;\0 (((", 11));
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.tree, "(ExpressionStatement (Assign = a 1))");
}

TEST_F(CompilerTest, VeryLongLinesAndWords) {
  const std::string word(1 << 20, 'w');
  FrontEndResult result = parse("x = " + word + " + '" + std::string(1 << 20, 's') + "'");
  ASSERT_TRUE(result.ok) << result.diagnostics;
  EXPECT_GT(result.tree.size(), size_t(2 << 20));
}

TEST_F(CompilerTest, ASourceOfSeveralMegabytesParses) {
  const std::string unit =
      "function f@(a, b) {\n  var s = 'text' + a;\n  for (var i = 0; i < b; i++) { s += [i, 1.5, {k: i}][0]; }\n"
      "  return s;\n}\nx@ = f@(1, 2) ? /re/g : null; // done\n";
  std::string source;
  for (int i = 0; source.size() < (4u << 20); ++i) {
    std::string piece = unit;
    for (size_t at; (at = piece.find('@')) != std::string::npos;) piece.replace(at, 1, std::to_string(i));
    source += piece;
  }
  FrontEndResult result = parse(source);
  EXPECT_TRUE(result.ok) << result.diagnostics;
}

}  // namespace
}  // namespace vexil::script::test
