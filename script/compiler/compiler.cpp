// Placeholder until the code generator lands: every compile fails with a clear message.
#include "script/compiler/compiler.h"

#include "script/compiler/script_stream.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

std::optional<std::vector<uint8_t>> compileStream(Engine& engine, ScriptStream&, CompileOptions,
                                                  const CompileOutputs&) {
  setMessage(engine, "error: line 0: the code generator is not built yet");
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> compileFile(Engine& engine, std::string_view path, CompileOptions options,
                                                const CompileOutputs& outputs) {
  auto stream = ScriptStream::openFileSource(engine, path);
  if (!stream) return std::nullopt;
  return compileStream(engine, *stream, options, outputs);
}

std::optional<std::vector<uint8_t>> compileText(Engine& engine, std::string_view text, CompileOptions options,
                                                const CompileOutputs& outputs) {
  ScriptStream stream(text);
  return compileStream(engine, stream, options, outputs);
}

std::string lastCompileMessages(const Engine& engine) { return engine.message; }

}  // namespace vexil::script
