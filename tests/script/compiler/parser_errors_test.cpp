// Every syntax error the parser reports, with its exact text and line.
#include <string>

#include "script/compiler/compile_messages.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

struct ErrorCase {
  const char* source;
  const char* diagnostics;
};

class ParserErrorTest : public CompilerTest {
 protected:
  template <size_t N>
  void expectErrors(const ErrorCase (&cases)[N]) {
    for (const ErrorCase& c : cases) {
      FrontEndResult result = parse(c.source);
      EXPECT_FALSE(result.ok) << c.source;
      EXPECT_EQ(result.diagnostics, c.diagnostics) << c.source;
    }
  }
};

TEST_F(ParserErrorTest, StatementsAndSemicolons) {
  const ErrorCase cases[] = {
      {")", "error: line 0: syntax error: invalid statement\r\n"},
      {"a;\n\nelse", "error: line 0: syntax error: invalid statement\r\n"},
      {"class A {}", "error: line 0: syntax error: invalid statement\r\n"},
      {"x = 1\nconst y = 2", "error: line 0: syntax error: invalid statement\r\n"},
      {"\xE9", "error: line 0: syntax error: invalid statement\r\n"},
      {"a = 1 b = 2", "error: line 0: missing ;\r\n"},
      {"\n\nx = 1 + 2 3", "error: line 2: missing ;\r\n"},
      {"a + b = c", "error: line 0: missing ;\r\n"},
      {"do x; while (y) z", "error: line 0: missing ;\r\n"},
      {"{ a; )", "error: line 0: syntax error: missing } after block\r\n"},
      {"{\na;\n", "error: line 1: syntax error: missing } after block\r\n"},
      {"a:\n}", "error: line 0: syntax error: invalid label\r\n"},
      {"return )", "error: line 0: syntax error: invalid return\r\n"},
      {"throw ;", "error: line 0: syntax error: invalid throw\r\n"},
      {"throw", "error: line 0: syntax error: invalid throw\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, VarDeclarations) {
  const ErrorCase cases[] = {
      {"var ;", "error: line 0: syntax error: missing variable name\r\n"},
      {"var 1", "error: line 0: syntax error: missing variable name\r\n"},
      {"var a, 1", "error: line 0: syntax error: illegal identifier\r\n"},
      {"var a = ;", "error: line 0: syntax error: invalid variable initialization\r\n"},
      {"var f = function () {}", "error: line 0: syntax error: invalid variable initialization\r\n"},
      {"for (var ; ;) ;", "error: line 0: syntax error: missing variable name\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, Expressions) {
  const ErrorCase cases[] = {
      {"a = ;", "error: line 0: syntax error: invalid expression\r\n"},
      {"1 +", "error: line 0: syntax error: invalid expression\r\n"},
      // Reported at the line of the last token taken, not of the one looked at.
      {"a *\n;", "error: line 0: syntax error: invalid expression\r\n"},
      {"a\n* ;", "error: line 1: syntax error: invalid expression\r\n"},
      {"a, ;", "error: line 0: syntax error: invalid expression\r\n"},
      {"a += function () {}", "error: line 0: syntax error: invalid expression\r\n"},
      {"g(function () {})", "error: line 0: syntax error: invalid expression\r\n"},
      {"f(1, )", "error: line 0: syntax error: invalid expression\r\n"},
      {"(a", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = ()", "error: line 0: syntax error: invalid expression\r\n"},
      {"a[]", "error: line 0: syntax error: invalid expression\r\n"},
      {"!", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = new ;", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = a ? : b", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = a ? b : ;", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = super", "error: line 0: syntax error: invalid expression\r\n"},
      {"a ? b ;", "error: line 0: syntax error: missing : in conditional expression\r\n"},
      {"a[1;", "error: line 0: syntax error: missing ] in index expression\r\n"},
      {"a.if", "error: line 0: syntax error: illegal identifier\r\n"},
      {"a.\n'b'", "error: line 0: syntax error: illegal identifier\r\n"},
      {"f(a b)", "error: line 0: syntax error: missing ) after argument list\r\n"},
      {"new F(a;", "error: line 0: syntax error: missing ) after argument list\r\n"},
      {"x = [1 2]", "error: line 0: syntax error: missing ] after element list\r\n"},
      {"x = [1, ;", "error: line 0: syntax error: missing ] after element list\r\n"},
      {"x = {1.5: 2}", "error: line 0: syntax error: invalid property id\r\n"},
      {"x = {if: 2}", "error: line 0: syntax error: invalid property id\r\n"},
      {"x = {a 1}", "error: line 0: syntax error: missing : after property id\r\n"},
      {"x = {a: }", "error: line 0: syntax error: invalid expression\r\n"},
      {"x = {a: 1 b: 2}", "error: line 0: syntax error: missing } after property list\r\n"},
      {"x = /abc", "error: line 0: unterminated regular expression constant\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, ConditionsAndLoops) {
  const ErrorCase cases[] = {
      {"if x", "error: line 0: syntax error: missing ( before condition\r\n"},
      {"while x", "error: line 0: syntax error: missing ( before condition\r\n"},
      {"if ()", "error: line 0: syntax error: invalid condition expression\r\n"},
      {"while (;)", "error: line 0: syntax error: invalid condition expression\r\n"},
      {"if (x", "error: line 0: syntax error: missing ) after condition\r\n"},
      {"if (x) ", "error: line 0: syntax error: invalid statement\r\n"},
      {"if (x) a; else", "error: line 0: syntax error: invalid statement\r\n"},
      {"while (x) )", "error: line 0: syntax error: invalid statement\r\n"},
      {"do x; until (y)", "error: line 0: syntax error: missing while after do-loop body\r\n"},
      {"do ) while (x)", "error: line 0: syntax error: invalid statement\r\n"},
      {"do x; while y", "error: line 0: syntax error: missing ( before condition\r\n"},
      {"for x", "error: line 0: syntax error: missing ( after for\r\n"},
      {"for (in o) ;", "error: line 0: syntax error: invalid for-loop initializer or for-in expression\r\n"},
      {"for (; ) ;", "error: line 0: syntax error: invalid for-loop condition expression\r\n"},
      {"for (; x ) ;", "error: line 0: syntax error: missing ; after for-loop condition\r\n"},
      {"for (;; ]) ;", "error: line 0: syntax error: invalid for-loop control expression\r\n"},
      {"for (var a, b in o) ;", "error: line 0: syntax error: more than one variable declaration\r\n"},
      {"for (a.b in o) ;", "error: line 0: syntax error: illegal identifier\r\n"},
      {"for (k in ) ;", "error: line 0: syntax error: invalid expression\r\n"},
      {"for (x ) ;", "error: line 0: syntax error: missing ; after for-loop initializer\r\n"},
      {"for (var i = 0 ) ;", "error: line 0: syntax error: missing ; after for-loop initializer\r\n"},
      {"for (;; x ;", "error: line 0: syntax error: missing ) after for-loop control\r\n"},
      {"for (k in o ;", "error: line 0: syntax error: missing ) after for-loop control\r\n"},
      {"for (;;)", "error: line 0: syntax error: invalid statement\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, SwitchStatements) {
  const ErrorCase cases[] = {
      {"switch x {}", "error: line 0: syntax error: missing ( before switch expression\r\n"},
      {"switch () {}", "error: line 0: syntax error: invalid switch expression\r\n"},
      {"switch (x {}", "error: line 0: syntax error: missing ) after switch expression\r\n"},
      {"switch (x) case", "error: line 0: syntax error: missing { before switch body\r\n"},
      {"switch (x) { x }", "error: line 0: syntax error: missing } after switch block\r\n"},
      {"switch (x) { case : }", "error: line 0: syntax error: invalid case expression\r\n"},
      {"switch (x) { case 1 }", "error: line 0: syntax error: missing : after case label\r\n"},
      {"switch (x) { default }", "error: line 0: syntax error: missing : after case label\r\n"},
      {"switch (x) { case 1: ) }", "error: line 0: syntax error: invalid statement\r\n"},
      {"switch (x) { case 1: a", "error: line 0: syntax error: invalid statement\r\n"},
      // Found only at the closing brace, and reported at its line.
      {"switch (x) {\ndefault:\n  a;\ndefault:\n  b;\n}", "error: line 5: more than one switch default\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, TryAndWith) {
  const ErrorCase cases[] = {
      {"try { x }\ny", "error: line 0: syntax error: missing catch or finally after try\r\n"},
      {"try", "error: line 0: syntax error: invalid statement\r\n"},
      {"try {} catch e {}", "error: line 0: syntax error: missing ( before catch\r\n"},
      {"try {} catch (1) {}", "error: line 0: syntax error: missing identifier in catch\r\n"},
      {"try {} catch (e {}", "error: line 0: syntax error: missing ) after catch\r\n"},
      {"try {} catch (e if ) {}", "error: line 0: syntax error: invalid statement\r\n"},
      {"try {} catch (e) ", "error: line 0: syntax error: invalid statement\r\n"},
      {"try {} finally ", "error: line 0: syntax error: invalid statement\r\n"},
      {"with x", "error: line 0: syntax error: missing ( before with-statement object\r\n"},
      {"with ()", "error: line 0: syntax error: invalid with-statement object\r\n"},
      {"with (x", "error: line 0: syntax error: missing ) after with-statement object\r\n"},
      {"with (x) )", "error: line 0: syntax error: invalid with block\r\n"},
  };
  expectErrors(cases);
}

TEST_F(ParserErrorTest, FunctionDefinitions) {
  const ErrorCase cases[] = {
      {"function f {}", "error: line 0: syntax error: missing ( before formal parameters\r\n"},
      {"function f(a b) {}", "error: line 0: syntax error: missing ) after formal parameters\r\n"},
      {"function f(a, ) {}", "error: line 0: syntax error: illegal identifier\r\n"},
      {"function f(1) {}", "error: line 0: syntax error: illegal identifier\r\n"},
      {"function f() x", "error: line 0: syntax error: invalid function body\r\n"},
      {"function f() {\n  )\n}", "error: line 0: syntax error: missing } after block\r\n"},
      {"f = function () {", "error: line 0: syntax error: missing } after block\r\n"},
  };
  expectErrors(cases);
}

}  // namespace
}  // namespace vexil::script::test
