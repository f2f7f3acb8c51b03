#include <string>

#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

struct TreeCase {
  const char* source;
  const char* tree;
};

class ParserTest : public CompilerTest {
 protected:
  template <size_t N>
  void expectTrees(const TreeCase (&cases)[N], TreePrintOptions print = {}) {
    for (const TreeCase& c : cases) {
      FrontEndResult result = parse(c.source, 0, print);
      EXPECT_TRUE(result.ok) << c.source << "\n" << result.diagnostics;
      EXPECT_EQ(result.tree, c.tree) << c.source;
    }
  }
};

TEST_F(ParserTest, ExpressionsFollowTheirPrecedenceAndAssociativity) {
  const TreeCase cases[] = {
      {"a + b * c - d", "(ExpressionStatement (Additive - (Additive + a (Multiplicative * b c)) d))"},
      {"a || b && c | d ^ e & f == g < h << i + j * k",
       "(ExpressionStatement (Logical || a (Logical && b (Bitwise | c (Bitwise ^ d (Bitwise & e (Equality == f "
       "(Relational < g (Shift << h (Additive + i (Multiplicative * j k)))))))))))"},
      {"a != b === c !== d", "(ExpressionStatement (Equality !== (Equality === (Equality != a b) c) d))"},
      {"a >= b <= c > d", "(ExpressionStatement (Relational > (Relational <= (Relational >= a b) c) d))"},
      {"a >> b >>> c % d / e", "(ExpressionStatement (Shift >>> (Shift >> a b) (Multiplicative / (Multiplicative % c d) e)))"},
      {"(a + b) * c", "(ExpressionStatement (Multiplicative * (Additive + a b) c))"},
      {"a, b, c", "(ExpressionStatement (Comma (Comma a b) c))"},
      {"a = b += c", "(ExpressionStatement (Assign = a (Assign += b c)))"},
      {"a -= 1; a *= 2; a /= 3; a %= 4; a &= 5; a ^= 6; a |= 7; a <<= 8; a >>= 9; a >>>= 10",
       "(ExpressionStatement (Assign -= a 1))\n(ExpressionStatement (Assign *= a 2))\n"
       "(ExpressionStatement (Assign /= a 3))\n(ExpressionStatement (Assign %= a 4))\n"
       "(ExpressionStatement (Assign &= a 5))\n(ExpressionStatement (Assign ^= a 6))\n"
       "(ExpressionStatement (Assign |= a 7))\n(ExpressionStatement (Assign <<= a 8))\n"
       "(ExpressionStatement (Assign >>= a 9))\n(ExpressionStatement (Assign >>>= a 10))"},
      {"a ? b : c ? d : e", "(ExpressionStatement (Conditional a b (Conditional c d e)))"},
      {"a = b ? c = 1 : d", "(ExpressionStatement (Assign = a (Conditional b (Assign = c 1) d)))"},
      {"!a; -b; +c; ~d; delete e.f; typeof g; void 0; ++h; --i; - -j",
       "(ExpressionStatement (Prefix ! a))\n(ExpressionStatement (Prefix - b))\n(ExpressionStatement (Prefix + c))\n"
       "(ExpressionStatement (Prefix ~ d))\n(ExpressionStatement (Prefix delete (Member e f)))\n"
       "(ExpressionStatement (Prefix typeof g))\n(ExpressionStatement (Prefix void 0))\n"
       "(ExpressionStatement (Prefix ++ h))\n(ExpressionStatement (Prefix -- i))\n"
       "(ExpressionStatement (Prefix - (Prefix - j)))"},
      {"a++; b--; -c++", "(ExpressionStatement (Postfix ++ a))\n(ExpressionStatement (Postfix -- b))\n"
                         "(ExpressionStatement (Prefix - (Postfix ++ c)))"},
      // Not operators here: in and instanceof.
      {"x = instanceof", "(ExpressionStatement (Assign = x instanceof))"},
  };
  expectTrees(cases);
}

// Arguments, array elements and object properties are prepended: they print last first.
TEST_F(ParserTest, CallsMembersAndNewKeepTheirShapes) {
  const TreeCase cases[] = {
      {"f()", "(ExpressionStatement (Call f 0))"},
      {"f(1, 2, 3)", "(ExpressionStatement (Call f 3 3 2 1))"},
      {"f(a = 1, b ? c : d)", "(ExpressionStatement (Call f 2 (Conditional b c d) (Assign = a 1)))"},
      {"a.b[c](d).e", "(ExpressionStatement (Member (Call (Index (Member a b) c) 1 d) e))"},
      {"f(1)(2)[3]", "(ExpressionStatement (Index (Call (Call f 1 1) 1 2) 3))"},
      {"a[b, c]", "(ExpressionStatement (Index a (Comma b c)))"},
      {"new F", "(ExpressionStatement (NewExpression F))"},
      {"new F()", "(ExpressionStatement (NewExpression F 0))"},
      {"new a.b(1, 2).c", "(ExpressionStatement (Member (NewExpression (Member a b) 2 2 1) c))"},
      {"new F(1)(2)", "(ExpressionStatement (Call (NewExpression F 1 1) 1 2))"},
      {"new new F()()", "(ExpressionStatement (NewExpression (NewExpression F 0) 0))"},
      {"x = this.y", "(ExpressionStatement (Assign = x (Member this y)))"},
  };
  expectTrees(cases);
}

TEST_F(ParserTest, LiteralsOfEveryKind) {
  const TreeCase cases[] = {
      {"x = 1.5; y = 'str'; z = null; u = undefined; t = this; v = true; w = false; n = 0x10",
       "(ExpressionStatement (Assign = x 1.5))\n(ExpressionStatement (Assign = y \"str\"))\n"
       "(ExpressionStatement (Assign = z null))\n(ExpressionStatement (Assign = u undefined))\n"
       "(ExpressionStatement (Assign = t this))\n(ExpressionStatement (Assign = v true))\n"
       "(ExpressionStatement (Assign = w false))\n(ExpressionStatement (Assign = n 16))"},
      {"[]", "(ExpressionStatement (ArrayLiteral 0))"},
      {"[1, [2, 3]]", "(ExpressionStatement (ArrayLiteral 2 (ArrayLiteral 2 3 2) 1))"},
      {"[1,]", "(ExpressionStatement (ArrayLiteral 2 (Hole) 1))"},
      {"[,]", "(ExpressionStatement (ArrayLiteral 2 (Hole) (Hole)))"},
      {"[1,,]", "(ExpressionStatement (ArrayLiteral 3 (Hole) (Hole) 1))"},
      {"[,1]", "(ExpressionStatement (ArrayLiteral 2 1 (Hole)))"},
      {"x = {}", "(ExpressionStatement (Assign = x (ObjectLiteral 0)))"},
      {"x = { a: 1, 'b': 2, 3: 4, }", "(ExpressionStatement (Assign = x (ObjectLiteral 3 (Property 3 4) (Property \"b\" 2) (Property a 1))))"},
      {"x = {a: {b: [c]}}", "(ExpressionStatement (Assign = x (ObjectLiteral 1 (Property a (ObjectLiteral 1 (Property b (ArrayLiteral 1 c)))))))"},
      {"x = /ab+c/gi", "(ExpressionStatement (Assign = x /ab+c/gi))"},
      {"f(/a/, /b/m)", "(ExpressionStatement (Call f 2 /b/m /a/))"},
      {"x = a / b / c", "(ExpressionStatement (Assign = x (Multiplicative / (Multiplicative / a b) c)))"},
      {"x = 'a\\n\"b'", "(ExpressionStatement (Assign = x \"a\\n\\\"b\"))"},
  };
  expectTrees(cases);
}

TEST_F(ParserTest, StatementsOfEveryKind) {
  const TreeCase cases[] = {
      {";;", "(Item)\n(Item)"},
      {"{}", "(Item)"},
      {"{ a; { b } }", "(Block (ExpressionStatement a) (Block (ExpressionStatement b)))"},
      {"var a = 1, b; { var c; }",
       "(VarStatement top (Declarator a 1) (Declarator b))\n(Block (VarStatement (Declarator c)))"},
      {"if (a) b; else c", "(If a (ExpressionStatement b) (ExpressionStatement c))"},
      {"if (a) if (b) c; else d", "(If a (If b (ExpressionStatement c) (ExpressionStatement d)))"},
      {"while (a) ;", "(While a (Item))"},
      {"do a(); while (b)", "(DoWhile (ExpressionStatement (Call a 0)) b)"},
      {"do ; while (b); x", "(DoWhile (Item) b)\n(ExpressionStatement x)"},
      {"for (var i = 0, j; i < 3; i++) ;",
       "(For (var (Declarator i 0) (Declarator j)) (Relational < i 3) (Postfix ++ i) (Item))"},
      {"for (;;) break", "(For - - - (BreakStatement))"},
      {"for (i = 0, j = 1; ; ) {}", "(For (Comma (Assign = i 0) (Assign = j 1)) - - (Item))"},
      {"for (var k in o) ;", "(ForIn (var (Declarator k)) o (Item))"},
      {"for (var k = 0 in o) ;", "(ForIn (var (Declarator k 0)) o (Item))"},
      {"for (k in o.p) {}", "(ForIn k (Member o p) (Item))"},
      {"outer: for (;;) { continue outer; }", "(Labelled outer (For - - - (Block (ContinueStatement outer))))"},
      {"a: b: ;", "(Labelled a (Labelled b (Item)))"},
      {"break x; continue; break", "(BreakStatement x)\n(ContinueStatement)\n(BreakStatement)"},
      {"continue\nfoo", "(ContinueStatement)\n(ExpressionStatement foo)"},
      {"return; return 1 + 2", "(ReturnStatement)\n(ReturnStatement (Additive + 1 2))"},
      {"return\n1", "(ReturnStatement)\n(ExpressionStatement 1)"},
      {"{ return }", "(Block (ReturnStatement))"},
      {"return", "(ReturnStatement)"},
      {"throw\nx", "(ThrowStatement x)"},
      {"switch (x) { case 1: a; break; default: b; case 2: }",
       "(Switch x (Case 1 (ExpressionStatement a) (BreakStatement)) (Default (ExpressionStatement b)) (Case 2))"},
      {"switch (x) {}", "(Switch x)"},
      {"with (o) x = 1", "(With o (ExpressionStatement (Assign = x 1)))"},
      {"try {} catch (e if e == 1) {} catch (f) {} finally {}",
       "(Try (Item) (Catch e if (Equality == e 1) (Item)) (Catch f (Item)) finally (Item))"},
      {"try a(); finally b()", "(Try (ExpressionStatement (Call a 0)) finally (ExpressionStatement (Call b 0)))"},
      // The parser lets any of these stand left of "="; the code generator decides.
      {"1 = 2; f() = 3; this = 4; [a] = 5",
       "(ExpressionStatement (Assign = 1 2))\n(ExpressionStatement (Assign = (Call f 0) 3))\n"
       "(ExpressionStatement (Assign = this 4))\n(ExpressionStatement (Assign = (ArrayLiteral 1 a) 5))"},
  };
  expectTrees(cases);
}

TEST_F(ParserTest, SemicolonsAreInsertedAtLineBreaksBracesAndTheEnd) {
  const TreeCase cases[] = {
      {"a = 1\nb = 2", "(ExpressionStatement (Assign = a 1))\n(ExpressionStatement (Assign = b 2))"},
      {"x\n++y", "(ExpressionStatement x)\n(ExpressionStatement (Prefix ++ y))"},
      {"{ a } b", "(Block (ExpressionStatement a))\n(ExpressionStatement b)"},
      {"var a\nvar b", "(VarStatement top (Declarator a))\n(VarStatement top (Declarator b))"},
  };
  expectTrees(cases);
  // The end of input inserts one too.
  EXPECT_EQ(parse("a = 1\nb = 2").insertedSemicolons, 2u);
  EXPECT_EQ(parse("a = 1;\nb = 2;").insertedSemicolons, 0u);
  EXPECT_EQ(parse("return\n1").insertedSemicolons, 2u);
  EXPECT_EQ(parse("a = 1;").tokenCount, 4u);
}

TEST_F(ParserTest, MissingSemicolonsAreWarnedAboutOnRequest) {
  FrontEndResult result = parse("a = 1\nb = 2\n{ c }", kOptionWarnMissingSemicolon);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.diagnostics,
            "warning: line 0: missing ;\r\nwarning: line 1: missing ;\r\nwarning: line 2: missing ;\r\n");
  EXPECT_EQ(parse("a = 1\nb = 2").diagnostics, "");
  // A ++ left for the next line is a missing semicolon of its own, besides the inserted one.
  EXPECT_EQ(parse("x\n++y", kOptionWarnMissingSemicolon).diagnostics,
            "warning: line 0: missing ;\r\nwarning: line 0: missing ;\r\nwarning: line 1: missing ;\r\n");
  EXPECT_EQ(parse("return\n1", kOptionWarnMissingSemicolon).diagnostics,
            "warning: line 0: missing ;\r\nwarning: line 1: missing ;\r\n");
}

TEST_F(ParserTest, FunctionsGetInternalNamesAndJoinTheFunctionList) {
  const TreeCase cases[] = {
      {"function f(a, b) { return a + b; }",
       "functions:\n(FunctionDefinition f f (a b) (Block (ReturnStatement (Additive + a b))))\nmain:\n"},
      {"f = function (a) { return a; }",
       "functions:\n(FunctionDefinition @F_0 - (a) (Block (ReturnStatement a)))\nmain:\n"
       "(ExpressionStatement (Assign = f @F_0))\n"},
      {"a = function () {}; b = function g() {}; c = function () {}",
       "functions:\n(FunctionDefinition @F_0 - () (Block))\n(FunctionDefinition g g () (Block))\n"
       "(FunctionDefinition @F_1 - () (Block))\nmain:\n(ExpressionStatement (Assign = a @F_0))\n"
       "(ExpressionStatement (Assign = b g))\n(ExpressionStatement (Assign = c @F_1))\n"},
      // Inner functions complete first; a named inner one uses up a number too and is bound in
      // the enclosing function; a mention of `arguments` inside counts for both.
      {"function outer() { function inner() { return arguments; } x = function () {}; }",
       "functions:\n(FunctionDefinition @F_0 inner () arguments (Block (ReturnStatement arguments)))\n"
       "(FunctionDefinition @F_1 - () (Block))\n"
       "(FunctionDefinition outer outer () arguments (Block (LocalFunction outer @F_0 inner) "
       "(ExpressionStatement (Assign = x @F_1))))\nmain:\n"},
      {"f = function () { function g() {} }",
       "functions:\n(FunctionDefinition @F_1 g () (Block))\n"
       "(FunctionDefinition @F_0 - () (Block (LocalFunction @F_0 @F_1 g)))\nmain:\n"
       "(ExpressionStatement (Assign = f @F_0))\n"},
      // Outside any function a function statement leaves an empty Item in its place.
      {"{ function g() {} }", "functions:\n(FunctionDefinition g g () (Block))\nmain:\n(Block (Item))\n"},
      {"function h() { function () {} }",
       "functions:\n(FunctionDefinition @F_0 - () (Block))\n(FunctionDefinition h h () (Block (Item)))\nmain:\n"},
      {"function f() { return }", "functions:\n(FunctionDefinition f f () (Block (ReturnStatement)))\nmain:\n"},
      {"function f() { var arguments; }", "functions:\n(FunctionDefinition f f () arguments (Block (VarStatement (Declarator arguments))))\nmain:\n"},
  };
  expectTrees(cases);
}

TEST_F(ParserTest, ExpressionsCarryStaticTypes) {
  const TreeCase cases[] = {
      {"1; 1.5; 's'; null; true; false; [1]; ({}); /r/; undefined; this; a",
       "(ExpressionStatement 1:integer)\n(ExpressionStatement 1.5:number)\n(ExpressionStatement \"s\":string)\n"
       "(ExpressionStatement null:null)\n(ExpressionStatement true:boolean)\n(ExpressionStatement false:boolean)\n"
       "(ExpressionStatement (ArrayLiteral:array 1 1:integer))\n(ExpressionStatement (ObjectLiteral:object 0))\n"
       "(ExpressionStatement /r/:regexp)\n(ExpressionStatement undefined)\n(ExpressionStatement this)\n"
       "(ExpressionStatement a)"},
      {"a == b; a < b; !a; -a",
       "(ExpressionStatement (Equality:boolean == a b))\n(ExpressionStatement (Relational:boolean < a b))\n"
       "(ExpressionStatement (Prefix:boolean ! a))\n(ExpressionStatement (Prefix - a))"},
      {"true && false; a && true; (a < b) || !c; a + b",
       "(ExpressionStatement (Logical:boolean && true:boolean false:boolean))\n"
       "(ExpressionStatement (Logical && a true:boolean))\n"
       "(ExpressionStatement (Logical:boolean || (Relational:boolean < a b) (Prefix:boolean ! c)))\n"
       "(ExpressionStatement (Additive + a b))"},
  };
  TreePrintOptions print;
  print.types = true;
  expectTrees(cases, print);
}

TEST_F(ParserTest, NodesCarryTheirLines) {
  const TreeCase cases[] = {
      {"a =\n1 +\n2", "(ExpressionStatement@0 (Assign@0 = a@0 (Additive@1 + 1@1 2@2)))"},
      {"\n\nif (x)\n  y()", "(If@2 x@2 (ExpressionStatement@3 (Call@3 y@3 0)))"},
  };
  TreePrintOptions print;
  print.lines = true;
  expectTrees(cases, print);
}

TEST_F(ParserTest, TryAndSwitchRecordTheirLines) {
  ScriptStream stream("try {\n} catch (e) {\n}\nswitch (x) {\ncase 1:\n}");
  Compilation compilation(engine(), stream, 0);
  ASSERT_TRUE(runFrontEnd(compilation));
  auto* statement = static_cast<const TryNode*>(compilation.parser.main.head);
  ASSERT_EQ(statement->kind, NodeKind::Try);
  EXPECT_EQ(statement->tryLine, 0);
  EXPECT_EQ(statement->endLine, 2);
  auto* choice = static_cast<const SwitchNode*>(statement->next);
  ASSERT_EQ(choice->kind, NodeKind::Switch);
  EXPECT_EQ(choice->closeLine, 5);
  EXPECT_EQ(choice->clauses->line, 4);
}

TEST_F(ParserTest, IndentedPrintingPutsEachNodeOnItsOwnLine) {
  TreePrintOptions print;
  print.indent = true;
  EXPECT_EQ(parse("if (a) b = 1 + c", 0, print).tree,
            "(If\n  a\n  (ExpressionStatement\n    (Assign =\n      b\n      (Additive +\n        1\n        c))))");
}

}  // namespace
}  // namespace vexil::script::test
