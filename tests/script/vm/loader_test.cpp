// The loader: the word form, rejection of malformed modules, generated-name renumbering and the
// reuse of a module's constants.
#include "script/runtime/atom_table.h"
#include "script/runtime/native_class.h"
#include "script/vm/loader.h"
#include "script/vm/vm_messages.h"
#include "vm_assembler.h"
#include "vm_fixture.h"

namespace vexil::script::test {
namespace {

using LoaderTest = VmTest;

const std::string kUnimplemented = std::string("Runtime error: ") + kUnimplementedBytecode;

TEST_F(LoaderTest, WordFormGivesEveryInstructionWholeWordsAndAppendsEnd) {
  // PushTrue; Jump +1 (over Nop); Nop; Roll -3; Return
  std::vector<uint8_t> bytes = {96, 53, 0, 0, 0, 1, 105, 99, 0xFD, 51};
  ConvertedCode code;
  ASSERT_TRUE(convertCode(engine(), bytes, 0, 0, code));
  std::vector<uint32_t> expected = {96, 53, 1, 105, 99, uint32_t(-3), 51, 106};
  EXPECT_EQ(code.words, expected);
  EXPECT_EQ(code.wordAtStart[7], 4);
  EXPECT_EQ(code.startOfEnd[10], 6);
}

TEST_F(LoaderTest, MalformedCodeIsRejectedBeforeItRuns) {
  struct Case {
    const char* what;
    std::vector<uint8_t> code;
  } cases[] = {
      {"opcode below the table", {32}},
      {"opcode above the table", {113}},
      {"truncated operand", {89, 0, 0}},
      {"jump into an operand", {53, 0xFF, 0xFF, 0xFF, 0xFE}},
      {"jump past the function", {53, 0, 0, 0, 9}},
      {"constant beyond the pool", {98, 0, 0, 0, 1}},
      {"name operand that is no name", {88, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    VmAssembler a;
    a.integer(1);
    a.function(".main");
    for (uint8_t b : c.code) a.byte(b);
    EXPECT_FALSE(runBytes(a.build())) << c.what;
    EXPECT_EQ(message(), kUnimplemented) << c.what;
  }
}

TEST_F(LoaderTest, FunctionTableBeyondTheCodeIsRejected) {
  VmAssembler a;
  a.function(".main").op(Opcode::PushTrue);
  auto bytes = a.build();
  // The function table is the last section: its offset word is the last four bytes.
  bytes[bytes.size() - 1] = 0x40;
  EXPECT_FALSE(runBytes(bytes));
  EXPECT_EQ(message(), kUnimplemented);
}

TEST_F(LoaderTest, HaltEndsTheRunWithARuntimeError) {
  VmAssembler a;
  a.function(".main").op(Opcode::PushOne).op(Opcode::Halt);
  EXPECT_FALSE(runBytes(a.build()));
  EXPECT_EQ(message(), kUnimplemented);
}

// Both modules call their anonymous function "@F_0"; loaded side by side they must not collide.
std::vector<uint8_t> moduleWithAnonymousFunction(const char* result, int64_t value) {
  VmAssembler a;
  uint32_t generated = a.name("@F_0");
  uint32_t global = a.name(result);
  uint32_t number = a.integer(value);
  a.function("@F_0").op(Opcode::PushConst, number).op(Opcode::Return);
  a.function(".main")
      .op(Opcode::PushZero)
      .op(Opcode::GetGlobal, generated)
      .op(Opcode::CallValue)
      .op(Opcode::Collapse, 2)
      .op(Opcode::SetGlobal, global);
  return a.build();
}

TEST_F(LoaderTest, GeneratedNamesOfTwoModulesGetDifferentNumbers) {
  uint32_t before = engine().functionBase;
  ASSERT_TRUE(runBytes(moduleWithAnonymousFunction("first", 1)));
  ASSERT_TRUE(runBytes(moduleWithAnonymousFunction("second", 2)));
  EXPECT_EQ(globalSlot(engine(), "first").integer(), 1);
  EXPECT_EQ(globalSlot(engine(), "second").integer(), 2);
  EXPECT_EQ(engine().functionBase, before + 2);
  EXPECT_EQ(globalSlot(engine(), ("@F_" + std::to_string(before)).c_str()).tag, Tag::Function);
  EXPECT_EQ(globalSlot(engine(), ("@F_" + std::to_string(before + 1)).c_str()).tag, Tag::Function);
}

TEST_F(LoaderTest, SecondRunReusesConstantsAndDefinesFunctionsAgain) {
  auto script = readCompiledScript(moduleWithAnonymousFunction("result", 7));
  ASSERT_TRUE(script);
  ASSERT_TRUE(runCompiledScript(engine(), *script));
  uint32_t constants = engine().constants.count;
  uint32_t base = script->constantBase;
  std::string generated = "@F_" + std::to_string(engine().functionBase - 1);
  Value firstFunction = globalSlot(engine(), generated.c_str());
  globalSlot(engine(), "result").setInteger(0);
  ASSERT_TRUE(runCompiledScript(engine(), *script));
  EXPECT_EQ(engine().constants.count, constants);
  EXPECT_EQ(script->constantBase, base);
  EXPECT_EQ(globalSlot(engine(), "result").integer(), 7);  // .main ran again
  Value again = globalSlot(engine(), generated.c_str());
  ASSERT_EQ(again.tag, Tag::Function);
  EXPECT_NE(again.function(), firstFunction.function());
}

TEST_F(LoaderTest, DebugLinesLocateAFailure) {
  VmAssembler a;
  a.function(".main").line(3).op(Opcode::PushOne).line(4).op(Opcode::PushZero).op(Opcode::Pop).line(5).op(Opcode::PopN, 9);
  EXPECT_FALSE(runBytes(a.build("lines.vxs")));
  FailureLocation where = lastFailureLocation(engine());
  EXPECT_EQ(where.sourceName, "lines.vxs");
  EXPECT_EQ(where.line, 5);
  EXPECT_EQ(where.functionName, ".main");
}

}  // namespace
}  // namespace vexil::script::test
