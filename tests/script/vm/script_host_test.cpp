// The script host handle: its options, how files are told apart, eval and texts with a length.
#include <cstdio>
#include <fstream>

#include "script/compiler/compiler.h"
#include "script/runtime/native_class.h"
#include "vm_fixture.h"

namespace vexil::script::test {
namespace {

using ScriptHostTest = VmTest;

TEST(ScriptHostOptionsTest, DefaultsAndTheCompileOptionsTheyAskFor) {
  ScriptHostOptions defaults;
  EXPECT_EQ(defaults.stackSize, 4096u);
  EXPECT_EQ(defaults.unused, 2u);
  EXPECT_EQ(defaults.flags, 0x58200u);
  EXPECT_EQ(defaults.hostValue2, -1);
  EXPECT_EQ(compileOptionsFor(defaults), CompileOptions(0x20 | 0x40 | 0x100));
  defaults.flags |= 0x20 | 0x1000 | 0x2000;
  defaults.userWord = 1;
  EXPECT_EQ(compileOptionsFor(defaults),
            CompileOptions(0x160 | kOptionDebugInfo | kOptionWarnMissingSemicolon | kOptionStrictLineTerminators |
                           kOptionListing));
}

TEST(ScriptHostOptionsTest, UndefinedVariableWarningFollowsItsFlag) {
  ScriptHostOptions quiet;
  quiet.flags &= ~kHostWarnUndefinedVariables;
  ScriptHost* host = createScriptHost(&quiet, nullptr);
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->engine->options & kOptionWarnUndefinedVariables, 0u);
  destroyScriptHost(host);
  host = createScriptHost(nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  EXPECT_NE(host->engine->options & kOptionWarnUndefinedVariables, 0u);
  destroyScriptHost(host);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(ScriptHostTest, FilesAreToldApartByExtensionThenByTheirFirstBytes) {
  auto compiled = compileText(engine(), "41 + 1", 0);
  ASSERT_TRUE(compiled);
  std::vector<uint8_t> withLine = bytesOf("#!/usr/bin/vexil\n");
  withLine.insert(withLine.end(), compiled->begin(), compiled->end());
  const std::string dir = ::testing::TempDir();
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    bool ok;
  } cases[] = {
      {"vm_host_a.vxc", *compiled, true},
      {"vm_host_b.VXC", withLine, true},
      {"vm_host_c.vxs", bytesOf("40 + 2"), true},
      {"vm_host_e.txt", withLine, true},
      {"vm_host_f.txt", bytesOf("6 * 7"), true},
  };
  for (const Case& c : cases) {
    std::string path = dir + c.name;
    writeFile(path, c.bytes);
    EXPECT_EQ(runScriptFile(*host_, path), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(engine().lastResult.integer(), 42) << c.name;
    }
    std::remove(path.c_str());
  }
  EXPECT_FALSE(runScriptFile(*host_, dir + "vm_host_missing.txt"));
  EXPECT_NE(host_->diagnostics.find("can't open the script file: "), std::string::npos);
  EXPECT_FALSE(runCompiledFile(*host_, dir + "vm_host_missing.vxc"));
}

TEST_F(ScriptHostTest, EvalOfTextNumberAndNothing) {
  ASSERT_TRUE(run("eval(\"1 + 2\")"));
  EXPECT_EQ(engine().lastResult.integer(), 3);
  ASSERT_TRUE(run("eval(5)"));
  EXPECT_EQ(engine().lastResult.integer(), 5);
  ASSERT_TRUE(run("eval()"));
  EXPECT_EQ(engine().lastResult.tag, Tag::Undefined);
}

TEST_F(ScriptHostTest, TextWithALengthRunsOnlyThatMuch) {
  const char text[] = "20 + 22; this part is never read";
  ASSERT_TRUE(runScriptText(*host_, text, 7));
  EXPECT_EQ(engine().lastResult.integer(), 42);
}

TEST_F(ScriptHostTest, CompileErrorRunsNothingAndSaysWhy) {
  EXPECT_FALSE(run("trace(1);\nvar = ;"));
  EXPECT_EQ(trace_, "");
  EXPECT_NE(host_->diagnostics.find("error: line "), std::string::npos);
}

TEST_F(ScriptHostTest, ModuleWithoutMainOnlyDefinesItsFunctions) {
  ASSERT_TRUE(run("function defined() { return 9; }"));
  EXPECT_EQ(engine().lastResult.tag, Tag::Undefined);
  EXPECT_EQ(globalSlot(engine(), "defined").tag, Tag::Function);
}

}  // namespace
}  // namespace vexil::script::test
