#pragma once
// A fresh engine per test, and helpers that run the front end over a text and answer what came out:
// the diagnostics text, the printed tree, the tokens.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "script/compiler/compilation.h"
#include "script/compiler/front_end.h"
#include "script/compiler/script_stream.h"
#include "script/compiler/tree_printer.h"
#include "script/runtime/engine.h"

namespace vexil::script::test {

struct FrontEndResult {
  bool ok = false;
  std::string diagnostics;
  std::string tree;  // main statements, one per line; functions first under "functions:" if any
  uint32_t insertedSemicolons = 0;
  uint32_t tokenCount = 0;
};

class CompilerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_ = createEngine(EngineConfig());
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override { destroyEngine(engine_); }

  Engine& engine() { return *engine_; }

  FrontEndResult parse(std::string_view source, CompileOptions options = 0, TreePrintOptions print = {}) {
    ScriptStream stream(source);
    Compilation compilation(*engine_, stream, options);
    FrontEndResult result;
    result.ok = runFrontEnd(compilation);
    result.diagnostics = std::string(compilation.diagnostics.text());
    result.insertedSemicolons = compilation.parser.insertedSemicolons;
    result.tokenCount = compilation.parser.tokenCount;
    if (result.ok) result.tree = treeText(compilation, print);
    return result;
  }

  // The main statements only, one per line, when no function was defined; else the whole dump.
  static std::string treeText(const Compilation& compilation, TreePrintOptions print) {
    if (compilation.parser.functions.head) return printTree(compilation, print);
    std::string out;
    for (const Node* s = compilation.parser.main.head; s; s = s->next) {
      if (!out.empty()) out += '\n';
      out += printNode(s, print);
    }
    return out;
  }

  Engine* engine_ = nullptr;
};

}  // namespace vexil::script::test
