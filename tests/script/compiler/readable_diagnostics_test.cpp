#include "script/compiler/readable_diagnostics.h"

#include <gtest/gtest.h>

namespace vexil::script {
namespace {

struct Case {
  const char* engineText;
  const char* expected;
};

TEST(ReadableDiagnosticsTest, NamesTheFileAndCountsLinesFromOne) {
  const Case cases[] = {
      {"error: line 0: syntax error: invalid expression\r\n", "a.vxs:1: error: syntax error: invalid expression\r\n"},
      {"warning: line 41: missing ;\r\nerror: line 42: unterminated string constant\r\n",
       "a.vxs:42: warning: missing ;\r\na.vxs:43: error: unterminated string constant\r\n"},
      {"error: line 7: no line end", "a.vxs:8: error: no line end"},
      // Other text passes unchanged: the reader's own messages, a near miss, an empty buffer.
      {"can't open the script file: a.vxs\n", "can't open the script file: a.vxs\n"},
      {"error: line x: odd\r\n", "error: line x: odd\r\n"},
      {"error: line 3 missing colon\r\n", "error: line 3 missing colon\r\n"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(readableDiagnostics(c.engineText, "a.vxs"), c.expected) << c.engineText;
}

TEST(ReadableDiagnosticsTest, AScriptWithoutANameIsCalledScript) {
  EXPECT_EQ(readableDiagnostics("error: line 0: x\r\n", ""), "<script>:1: error: x\r\n");
}

TEST(ReadableDiagnosticsTest, LocationsCountFromOneAndOmitUnknownLines) {
  EXPECT_EQ(readableLocation("a.vxs", 0), "a.vxs:1: ");
  EXPECT_EQ(readableLocation("a.vxs", -1), "a.vxs: ");
  EXPECT_EQ(readableLocation("", 5), "");
}

}  // namespace
}  // namespace vexil::script
