// Compiled-script bytes from outside: the reader, every section decoder and the disassembler,
// which walks the code section against the decoded constants and function table.
#include <cstddef>
#include <cstdint>
#include <span>

#include "script/compiler/compiled_script.h"
#include "script/compiler/disassembler.h"

using namespace vexil::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto script = readCompiledScript(std::span<const uint8_t>(data, size));
  if (!script) return 0;
  decodeConstants(script->bytesOf(SectionType::Constants));
  decodeFunctionTable(script->bytesOf(SectionType::Functions));
  decodeDebugInfo(script->bytesOf(SectionType::Debug));
  disassemble(*script);
  return 0;
}
