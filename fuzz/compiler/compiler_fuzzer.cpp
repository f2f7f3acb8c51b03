// Script source from outside through the whole compiler: front end, code generator, passes and
// writer. Whatever compiles must read back: a file the reader refuses, or a function table or
// constants section its decoders refuse, is a fault of the writer. The first byte picks options.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/compiler/compiled_script.h"
#include "script/compiler/compiler.h"
#include "script/compiler/disassembler.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"

using namespace vexil::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Engine* engine = createEngine(EngineConfig());
  if (size == 0) return 0;
  CompileOptions options = 0;
  if (data[0] & 1) options |= kOptionWarnMissingSemicolon;
  if (data[0] & 2) options |= kOptionStrictLineTerminators;
  if (data[0] & 4) options |= kOptionDebugInfo;
  auto bytes = compileText(*engine, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), options);
  if (bytes) {
    auto script = readCompiledScript(*bytes);
    if (!script || !decodeConstants(script->bytesOf(SectionType::Constants)) ||
        !decodeFunctionTable(script->bytesOf(SectionType::Functions)) ||
        !decodeDebugInfo(script->bytesOf(SectionType::Debug)))
      std::abort();
    disassemble(*script);
  }
  collectGarbage(*engine, engine->sp);
  return 0;
}
