#include "script/compiler/front_end.h"

#include "script/compiler/compilation.h"
#include "script/compiler/parser.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

bool runFrontEnd(Compilation& compilation) {
  compilation.keywords.fill();
  bool parsed = false;
  bool completed = protectedCall(compilation.engine, [&] {
    try {
      parseProgram(compilation);
      parsed = true;
    } catch (const CompileError&) {
      // The diagnostics hold the error line.
    }
  });
  return completed && parsed;
}

}  // namespace vexil::script
