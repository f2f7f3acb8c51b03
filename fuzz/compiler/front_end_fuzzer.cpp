// Script source from outside, through the whole front end: lexer, parser and tree printer. The
// first byte picks the warning options, the rest is the source. One engine serves every input; a
// collection after each run takes back the tree, as it does after a real compilation.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/compiler/compilation.h"
#include "script/compiler/front_end.h"
#include "script/compiler/script_stream.h"
#include "script/compiler/tree_printer.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"

using namespace vexil::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Engine* engine = createEngine(EngineConfig());
  if (size == 0) return 0;
  CompileOptions options = 0;
  if (data[0] & 1) options |= kOptionWarnMissingSemicolon;
  if (data[0] & 2) options |= kOptionStrictLineTerminators;
  {
    ScriptStream source(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    Compilation compilation(*engine, source, options);
    if (runFrontEnd(compilation)) {
      TreePrintOptions print;
      print.lines = print.types = print.indent = (data[0] & 4) != 0;
      printTree(compilation, print);
    }
  }
  collectGarbage(*engine, engine->sp);
  return 0;
}
