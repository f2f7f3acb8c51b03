// Representative constructs against their expected listings in golden/: each NAME.vxs compiles
// (with debug information when its name starts with "debug") to the listing in NAME.dis.
#include <cstring>
#include <fstream>
#include <sstream>

#include "codegen_fixture.h"

namespace vexil::script::test {
namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class GoldenListing : public CodegenTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GoldenListing, MatchesItsExpectedListing) {
  std::string base = std::string(VEXIL_SOURCE_DIR) + "/tests/script/compiler/golden/" + GetParam();
  std::string source = readText(base + ".vxs");
  ASSERT_FALSE(source.empty()) << base;
  CompileOptions options = std::string(GetParam()).rfind("debug", 0) == 0 ? kOptionDebugInfo : 0;
  std::string actual = listing(source, options);
  // The golden files were made from files; a text source is named "string".
  std::string expected = readText(base + ".dis");
  std::string fileName = std::string("source: ") + GetParam() + ".vxs";
  if (size_t at = expected.find(fileName); at != std::string::npos) {
    expected.replace(at, fileName.size(), "source: string");
    // The debug section holds the name too.
    size_t sizeAt = expected.find("  debug ") + 8;
    size_t sizeEnd = expected.find(' ', sizeAt);
    size_t size = std::stoul(expected.substr(sizeAt, sizeEnd - sizeAt));
    size = size - (fileName.size() - 8) + std::strlen("string");
    expected.replace(sizeAt, sizeEnd - sizeAt, std::to_string(size));
  }
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Constructs, GoldenListing,
                         ::testing::Values("try_catch_finally", "for_in", "switch_in_loop", "arguments_object",
                                           "with_statement", "debug_lines"));

}  // namespace
}  // namespace vexil::script::test
