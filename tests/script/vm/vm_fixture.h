#pragma once
// A script host with every class of the build, its trace output collected in a string.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/class_list.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/engine.h"
#include "script/vm/machine.h"
#include "script/vm/script_host.h"

namespace vexil::script::test {

class VmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    classes_ = classes::portableClasses();
    options_.flags |= kHostDebugInfo;
    host_ = createScriptHost(&options_, &classes_);
    ASSERT_NE(host_, nullptr);
    engine().traceOutput = [](void* data, const char* line) { *static_cast<std::string*>(data) += line; };
    engine().traceData = &trace_;
  }
  void TearDown() override { destroyScriptHost(host_); }

  Engine& engine() { return *host_->engine; }
  bool run(const std::string& text) { return runScriptText(*host_, text); }
  bool runBytes(const std::vector<uint8_t>& bytes) {
    auto script = readCompiledScript(bytes);
    return script && runCompiledScript(engine(), *script);
  }
  std::string message() { return engine().message; }

  ClassRegistry classes_;
  ScriptHostOptions options_;
  ScriptHost* host_ = nullptr;
  std::string trace_;
};

}  // namespace vexil::script::test
