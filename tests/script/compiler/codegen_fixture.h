#pragma once
// Compiles a text with the real entry point and answers the bytes, the diagnostics, and the code
// as a list of "Name operand" lines (offsets dropped, jumps kept as absolute "-> 0012").
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "script/compiler/compiled_script.h"
#include "script/compiler/compiler.h"
#include "script/compiler/disassembler.h"
#include "script/runtime/engine.h"

namespace vexil::script::test {

class CodegenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_ = createEngine(EngineConfig());
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override { destroyEngine(engine_); }

  std::vector<uint8_t> compileOk(std::string_view source, CompileOptions options = 0) {
    auto bytes = compileText(*engine_, source, options);
    EXPECT_TRUE(bytes.has_value()) << lastCompileMessages(*engine_);
    return bytes.value_or(std::vector<uint8_t>());
  }

  std::string listing(std::string_view source, CompileOptions options = 0) {
    auto bytes = compileOk(source, options);
    auto script = readCompiledScript(bytes);
    if (!script) return "(unreadable)";
    return disassemble(*script);
  }

  // The code lines only: "Name operand" joined by "; "; function labels as "name:".
  std::string code(std::string_view source, CompileOptions options = 0) {
    std::istringstream in(listing(source, options));
    std::string line, out;
    bool inCode = false;
    while (std::getline(in, line)) {
      if (line == "code:") {
        inCode = true;
        continue;
      }
      if (!inCode || line.find("; line") != std::string::npos) continue;
      std::string item = line.rfind("  ", 0) == 0 ? line.substr(8) : line;
      if (!out.empty()) out += "; ";
      out += item;
    }
    return out;
  }

  std::string messages() const { return lastCompileMessages(*engine_); }

  Engine* engine_ = nullptr;
};

}  // namespace vexil::script::test
