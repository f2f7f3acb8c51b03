#include <string>

#include "script/compiler/compile_messages.h"
#include "script/compiler/diagnostics.h"
#include "tests/script/compiler/compiler_fixture.h"

namespace vexil::script::test {
namespace {

TEST(Diagnostics, WarningsAndErrorsAreLinesWithTheirNumbers) {
  Diagnostics diagnostics;
  diagnostics.warning(0, kUnknownEscape, '\\', 'q');
  diagnostics.warning(12, "%s", kMissingSemicolon);
  EXPECT_FALSE(diagnostics.failed());
  EXPECT_THROW(diagnostics.error(3, kSyntaxError, kInvalidStatement), CompileError);
  EXPECT_TRUE(diagnostics.failed());
  EXPECT_EQ(diagnostics.text(),
            "warning: line 0: unknown escape sequence '\\q'\r\n"
            "warning: line 12: missing ;\r\n"
            "error: line 3: syntax error: invalid statement\r\n");
}

TEST(Diagnostics, AMessageKeepsAtMost255Characters) {
  Diagnostics diagnostics;
  std::string long_text(1000, 'm');
  diagnostics.warning(1, "%s", long_text.c_str());
  EXPECT_EQ(diagnostics.text(), "warning: line 1: " + std::string(255, 'm') + "\r\n");
}

// An error ends the compilation at once: nothing after it in the source is looked at.
TEST_F(CompilerTest, TheFirstErrorEndsTheCompilation) {
  FrontEndResult result = parse("a = 1;\nb\n)\n'unterminated", kOptionWarnMissingSemicolon);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.diagnostics, "warning: line 1: missing ;\r\nerror: line 1: syntax error: invalid statement\r\n");
}

}  // namespace
}  // namespace vexil::script::test
