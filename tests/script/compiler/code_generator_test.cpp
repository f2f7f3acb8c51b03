// The bytes the compiler writes: the header and sections of a whole file, and the code of each
// construct whose shape other parts of the system depend on.
#include <cstring>

#include "codegen_fixture.h"

namespace vexil::script::test {
namespace {

// Tag words carry random upper bits; everything else is fixed.
std::vector<uint8_t> maskTags(std::vector<uint8_t> bytes) {
  for (size_t at : {5, 6, 7, 17, 18, 19, 29, 30, 31, 41, 42, 43})
    if (at < bytes.size()) bytes[at] = 0;
  return bytes;
}

TEST_F(CodegenTest, ReturnTrueIsTheSeventyTwoByteFile) {
  const std::vector<uint8_t> expected = {
      0x56, 0x53, 0x31, 0x62, 0x00, 0x00, 0x00, 0x00, 0x38, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
      0x01, 0x00, 0x00, 0x00, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
      0x3A, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x48, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x60, 0x33, 0x00, 0x00, 0x00, 0x01, 0x2E, 0x6D,
      0x61, 0x69, 0x6E, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(maskTags(compileOk("return true;")), expected);
}

TEST_F(CodegenTest, TagWordsKeepTheirTypeInTheLowByte) {
  auto bytes = compileOk("return true;");
  ASSERT_EQ(bytes.size(), 72u);
  for (int type = 0; type < 4; ++type) EXPECT_EQ(bytes[4 + 12 * type], type);
}

// A table of small programs against hand-checked code.
TEST_F(CodegenTest, SmallProgramsGiveTheirCode) {
  struct Case {
    const char* source;
    const char* code;
  } cases[] = {
      {"1 + 2", ".main:; PushConst #0 1; PushConst #1 2; Add"},
      {"x = 5;", ".main:; PushConst #0 5; Dup; SetGlobal #1 x"},
      {"x = 5; 0;", ".main:; PushConst #0 5; SetGlobal #1 x; PushConst #2 0"},
      {"var a = 1, b;", ".main:; PushConst #0 1; SetGlobal #1 a; PushUndefined"},
      {"a.b = c[d]; {}",
       ".main:; GetGlobal #0 c; GetGlobal #1 d; GetElement; GetGlobal #2 a; SetProperty #3 b; PushUndefined"},
      {"x += 2; {}", ".main:; GetGlobal #0 x; PushConst #1 2; Add; SetGlobal #0 x; PushUndefined"},
      {"y = x++; {}", ".main:; GetGlobal #0 x; Dup; PushOne; Add; SetGlobal #0 x; SetGlobal #1 y; PushUndefined"},
      {"y = ++x; {}", ".main:; GetGlobal #0 x; PushOne; Add; Dup; SetGlobal #0 x; SetGlobal #1 y; PushUndefined"},
      {"~a", ".main:; GetGlobal #0 a; PushConst #1 -1; BitXor"},
      {"void a", ".main:; GetGlobal #0 a; Pop; PushUndefined"},
      {"typeof a", ".main:; GetGlobal #0 a; TypeOf"},
      {"delete a.b", ".main:; GetGlobal #0 a; DeleteProperty #1 b"},
      {"delete a", ".main:; PushNull; DeleteGlobal #0 a"},
      {"a && b", ".main:; GetGlobal #0 a; Dup; JumpIfFalse -> 0011; Pop; GetGlobal #1 b"},
      {"(a < b) || c", ".main:; GetGlobal #0 a; GetGlobal #1 b; Less; Dup; JumpIfTrueFast -> 0017; Pop; "
                       "GetGlobal #2 c"},
      {"o.m(1)", ".main:; PushConst #0 1; PushOne; GetGlobal #1 o; CallMethod #2 m; Collapse 3"},
      {"new F", ".main:; PushZero; GetGlobal #0 F; New; Swap; Collapse 2"},
      {"this", ".main:; GetArg 0"},
      {"f(1, 2, 3, 4)", ".main:; PushConst #0 4; PushConst #1 3; PushConst #2 2; PushConst #3 1; PushInt 4; "
                        "GetGlobal #4 f; CallValue; Collapse 6"},
      {"while (true) {}", ".main:; Jump -> 0000"},
      {"for (;;) { break; }", ".main:; PushUndefined"},
      {"do x(); while (false);", ".main:; PushZero; GetGlobal #0 x; CallValue; PopN 3; PushUndefined"},
  };
  for (const auto& c : cases) EXPECT_EQ(code(c.source), c.code) << c.source;
}

TEST_F(CodegenTest, EmptyProgramAndFunctionsOnlyHaveNoMain) {
  for (const char* source : {"", "function f() {}", "function f() {} function g() { return 1; }"}) {
    auto script = readCompiledScript(compileOk(source));
    ASSERT_TRUE(script) << source;
    auto functions = decodeFunctionTable(script->bytesOf(SectionType::Functions));
    ASSERT_TRUE(functions) << source;
    for (const auto& f : *functions) EXPECT_NE(f.name, kMainFunctionName) << source;
  }
}

TEST_F(CodegenTest, FunctionTableListsInnerFunctionsFirstAndMainLast) {
  auto script = readCompiledScript(compileOk("function outer() { function inner() {} } x = 1;"));
  ASSERT_TRUE(script);
  auto functions = decodeFunctionTable(script->bytesOf(SectionType::Functions));
  ASSERT_TRUE(functions);
  ASSERT_EQ(functions->size(), 3u);
  EXPECT_EQ((*functions)[0].name, "@F_0");
  EXPECT_EQ((*functions)[1].name, "outer");
  EXPECT_EQ((*functions)[2].name, ".main");
  EXPECT_EQ((*functions)[0].offset, 0u);
}

TEST_F(CodegenTest, FinalExpressionStaysAsTheResult) {
  EXPECT_EQ(code("x; 1 + 2"), ".main:; GetGlobal #0 x; Pop; PushConst #1 1; PushConst #2 2; Add");
  // A statement other than an expression ends with undefined, even when its code ends in a Pop.
  EXPECT_EQ(code("switch (x) {}"), ".main:; GetGlobal #0 x; Pop; PushUndefined");
}

TEST_F(CodegenTest, PoolSharesEqualConstantsAndSeparatesKinds) {
  auto script = readCompiledScript(compileOk("a = 1; b = 1.0; c = 1; d = 'x'; e = 'x'; f = /x/g; g = /xg/;"));
  ASSERT_TRUE(script);
  auto constants = decodeConstants(script->bytesOf(SectionType::Constants));
  ASSERT_TRUE(constants);
  std::vector<std::string> texts;
  for (const auto& c : *constants)
    if (c.kind != ConstantKind::Name) texts.push_back(constantText(c));
  EXPECT_EQ(texts, (std::vector<std::string>{"1", "1", "\"x\"", "/x/g", "/xg/"}));
  EXPECT_EQ((*constants)[0].kind, ConstantKind::Integer);
  EXPECT_EQ((*constants)[2].kind, ConstantKind::Real);
}

TEST_F(CodegenTest, DoublesThatDifferOnlyFarBehindThePointStayApart) {
  auto script = readCompiledScript(compileOk("a = 1e-40; b = 2e-40;"));
  ASSERT_TRUE(script);
  auto constants = decodeConstants(script->bytesOf(SectionType::Constants));
  ASSERT_TRUE(constants);
  int reals = 0;
  for (const auto& c : *constants) reals += c.kind == ConstantKind::Real;
  EXPECT_EQ(reals, 2);
}

TEST_F(CodegenTest, ConstantBytesFollowTheirKinds) {
  auto script = readCompiledScript(compileOk("a = -7; b = 'h\\xe9'; c = 2.5;"));
  ASSERT_TRUE(script);
  auto section = script->bytesOf(SectionType::Constants);
  const std::vector<uint8_t> expected = {
      3, 0, 0, 0, 0, 0, 0, 0, 7,  // the literal 7 (negation is an instruction)
      10, 'a', 0,
      4, 0, 0, 0, 4, 'h', 0, 0xE9, 0,  // UTF-16LE
      10, 'b', 0,
      5, 0, 0, 0, 0, 0, 0, 4, 0x40,  // 2.5, little-endian
      10, 'c', 0};
  EXPECT_EQ(std::vector<uint8_t>(section.begin(), section.end()), expected);
}

TEST_F(CodegenTest, ArgumentsAreEvaluatedLastFirst) {
  EXPECT_EQ(code("f(a(), b())"),
            ".main:; PushZero; GetGlobal #0 b; CallValue; Collapse 2; PushZero; GetGlobal #1 a; CallValue; "
            "Collapse 2; PushTwo; GetGlobal #2 f; CallValue; Collapse 4");
}

TEST_F(CodegenTest, ObjectLiteralWritesTheFirstEqualKeyLast) {
  EXPECT_EQ(code("({ a: 1, a: 2 }).a"),
            ".main:; PushZero; GetGlobal #0 Object; New; Swap; Collapse 2; Dup; PushConst #1 2; Swap; "
            "SetProperty #2 a; Dup; PushConst #3 1; Swap; SetProperty #2 a; GetProperty #2 a");
  EXPECT_EQ(code("({ 3: x, 'k': y })"),
            ".main:; PushZero; GetGlobal #0 Object; New; Swap; Collapse 2; Dup; GetGlobal #1 y; Swap; "
            "PushConst #2 \"k\"; SetElement; Dup; GetGlobal #3 x; Swap; PushConst #4 3; SetElement");
}

TEST_F(CodegenTest, ArrayLiteralPassesTheNegatedCount) {
  EXPECT_EQ(code("[1, 2]"),
            ".main:; PushConst #0 2; PushConst #1 1; PushInt -2; GetGlobal #2 Array; New; Swap; Collapse 4");
  EXPECT_EQ(code("[,]"), ".main:; PushUndefined; PushUndefined; PushInt -2; GetGlobal #0 Array; New; Swap; "
                         "Collapse 4");
}

TEST_F(CodegenTest, LongArgumentListsSplitTheirCollapse) {
  std::string source = "f(";
  for (int i = 0; i < 300; ++i) source += i ? ",0" : "0";
  source += "); x;";
  std::string listing = code(source);
  EXPECT_NE(listing.find("PushInt 300; GetGlobal #1 f; CallValue; Collapse 255; PopN 48"), std::string::npos);
}

TEST_F(CodegenTest, BreakInSwitchLeavesTheLoopStackAlone) {
  // break jumps to the switch's end, which pops the discriminant; continue pops it first.
  EXPECT_EQ(code("while (a) { switch (b) { case 1: break; } }"),
            ".main:; GetGlobal #0 a; JumpIfFalse -> 0021; GetGlobal #1 b; Dup; PushConst #2 1; StrictEqual; "
            "JumpIfFalseFast -> 001B; Pop; Jump -> 0000; PushUndefined");
  EXPECT_EQ(code("while (a) { switch (b) { case 1: continue; } }"),
            ".main:; GetGlobal #0 a; JumpIfFalse -> 0027; GetGlobal #1 b; Dup; PushConst #2 1; StrictEqual; "
            "JumpIfFalseFast -> 0021; Pop; Jump -> 0000; Pop; Jump -> 0000; PushUndefined");
}

TEST_F(CodegenTest, JumpsOutLeaveWithScopesHandlersAndKeptValues) {
  // A labelled break out of a for-in inside try inside with: drop the for-in pair, the handler and
  // the scope.
  EXPECT_NE(code("outer: for (;;) { with (o) { try { for (k in p) { break outer; } } catch (e) {} } }")
                .find("PopScopes 1; PopHandlers 1; PopN 2; Jump"),
            std::string::npos);
  EXPECT_NE(code("for (;;) { try { continue; } finally { } }").find("PopHandlers 1; Jump -> 0000"),
            std::string::npos);
}

TEST_F(CodegenTest, ContinueToALabelledLoopRunsItsStep) {
  // The label names the for loop: continue goes to the step, not back to the initialiser.
  std::string listing = code("outer: for (i = 0; i < 3; i++) { for (;;) { continue outer; } }");
  EXPECT_EQ(listing,
            ".main:; PushConst #0 0; SetGlobal #1 i; GetGlobal #1 i; PushConst #2 3; Less; "
            "JumpIfFalseFast -> 002B; GetGlobal #1 i; PushOne; Add; SetGlobal #1 i; "
            "Jump -> 000A; PushUndefined");
}

TEST_F(CodegenTest, BreakAndContinueWithoutTargetAreErrors) {
  struct Case {
    const char* source;
    const char* message;
  } cases[] = {
      {"break;", "error: line 0: invalid break\r\n"},
      {"\ncontinue;", "error: line 1: invalid continue\r\n"},
      {"while (1) { break nowhere; }", "error: line 0: invalid break\r\n"},
      {"switch (x) { case 1: continue; }", "error: line 0: invalid continue\r\n"},
      {"function f() { break; }", "error: line 0: invalid break\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(compileText(*engine_, c.source, 0)) << c.source;
    EXPECT_EQ(messages(), c.message) << c.source;
  }
}

TEST_F(CodegenTest, AssigningToWhatIsNoVariableKeepsTheStackBalanced) {
  EXPECT_EQ(code("f() = 1; {}"), ".main:; PushConst #0 1; Pop; PushUndefined");
  EXPECT_EQ(code("delete 5"), ".main:; PushConst #0 5; Pop; PushTrue");
  EXPECT_EQ(code("x = (f() += 1)"), ".main:; PushZero; GetGlobal #0 f; CallValue; Collapse 2; PushConst #1 1; Add; "
                                    "Dup; SetGlobal #2 x");
  EXPECT_EQ(code("1++"), ".main:; PushConst #0 1");
  EXPECT_EQ(code("++this"), ".main:; GetArg 0; PushOne; Add");
}

TEST_F(CodegenTest, LocalsOfSiblingBlocksShareNumbers) {
  EXPECT_EQ(code("function f() { { var a = 1; g(a, a); } { var b = 2; var c = 3; g(b, c); } }").substr(0, 62),
            "f:; GetArg 1; AddTwo; PadArgs 2; ReserveLocals 2; PushConst #0");
  // A second var of the same name in one scope keeps the first one's local.
  EXPECT_NE(code("function f() { var a = 1; var a; return a; }").find("ReserveLocals 1"), std::string::npos);
}

TEST_F(CodegenTest, ParametersAndLocalsResolveBeforeGlobals) {
  EXPECT_EQ(code("function f(p) { var l; l = p; g = l; }"),
            "f:; GetArg 1; AddTwo; PadArgs 3; ReserveLocals 1; GetArg 2; SetGlobal #0 g; PushUndefined; Return");
}

TEST_F(CodegenTest, InnerFunctionBecomesAPropertyOfTheOuter) {
  EXPECT_EQ(code("function outer() { function inner() {} }"),
            "@F_0:; GetArg 1; AddTwo; PadArgs 2; PushUndefined; Return; outer:; GetArg 1; AddTwo; PadArgs 2; "
            "GetGlobal #0 @F_0; GetGlobal #1 outer; SetProperty #2 inner; PushUndefined; Return");
}

TEST_F(CodegenTest, DebugSectionNamesTheSourceAndLines) {
  auto bytes = compileOk("a = 1;\n\nb = 2;", kOptionDebugInfo);
  auto script = readCompiledScript(bytes);
  ASSERT_TRUE(script);
  auto debug = decodeDebugInfo(script->bytesOf(SectionType::Debug));
  ASSERT_TRUE(debug);
  EXPECT_EQ(debug->sourceName, "string");
  ASSERT_EQ(debug->lines.size(), 2u);
  EXPECT_EQ(debug->lines[0].offset, 5u);  // just past the first instruction
  EXPECT_EQ(debug->lines[0].line, 0u);
  EXPECT_EQ(debug->lines[1].offset, 15u);
  EXPECT_EQ(debug->lines[1].line, 2u);
  EXPECT_TRUE(compileOk("a = 1;").size() < bytes.size());
}

TEST_F(CodegenTest, LongDiagnosticsKeepTheirWholeTextBesideTheBuffer) {
  std::string source;
  for (int i = 0; i < 60; ++i) source += "x = 'a\\q';\n";  // one warning per line
  compileOk(source);
  std::string whole = messages();
  EXPECT_GT(whole.size(), kMessageBufferSize);
  EXPECT_EQ(std::strlen(engine_->message), kMessageBufferSize - 1);
  EXPECT_EQ(whole.compare(0, kMessageBufferSize - 1, engine_->message), 0);
  // The next compile frees it.
  compileOk("x = 1;");
  EXPECT_EQ(messages(), "");
  EXPECT_TRUE(engine_->compileMessages.empty());
}

TEST_F(CodegenTest, OutputAndListingFiles) {
  std::string out = ::testing::TempDir() + "codegen_out.vxc";
  std::string list = ::testing::TempDir() + "codegen_out.lst";
  CompileOutputs outputs{list.c_str(), out.c_str()};
  auto bytes = compileText(*engine_, "return true;", kOptionListing, outputs);
  ASSERT_TRUE(bytes);
  auto written = readCompiledFile(out);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->bytesOf(SectionType::Code).size(), 2u);
  FILE* f = std::fopen(list.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char text[64] = {};
  size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(text, n), "; -*- asm -*-\r\n");
  std::remove(out.c_str());
  std::remove(list.c_str());
  // An output path that cannot be written fails the compile and says why.
  CompileOutputs bad{nullptr, "/nonexistent-dir/x.vxc"};
  EXPECT_FALSE(compileText(*engine_, "x = 1;", 0, bad));
  EXPECT_NE(messages().find("can't write the compiled file: /nonexistent-dir/x.vxc"), std::string::npos);
}

TEST_F(CodegenTest, MissingSourceFileSaysSo) {
  EXPECT_FALSE(compileFile(*engine_, "/nonexistent-dir/none.vxs", 0));
  EXPECT_NE(messages().find("can't open the script file: /nonexistent-dir/none.vxs"), std::string::npos);
}

TEST_F(CodegenTest, LongChainsCompileWithoutDeepRecursion) {
  std::string source = "x = 0";
  for (int i = 0; i < 200000; ++i) source += " + 1";
  source += "; y = a";
  for (int i = 0; i < 100000; ++i) source += ".b";
  source += "; z = f";
  for (int i = 0; i < 100000; ++i) source += "()";
  EXPECT_FALSE(compileOk(source).empty());
}

}  // namespace
}  // namespace vexil::script::test
