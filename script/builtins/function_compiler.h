#pragma once
// new Function(...) compiles source text, which only the script host can do. The host installs
// its compiler here; until one is installed, new Function answers Null as for text that does not
// compile.
#include <string>

#include "script/runtime/arguments.h"

namespace vexil::script {

struct Engine;

// Compiles the source (ANSI text of one function expression) and loads it into the engine,
// naming the generated function after the engine's count of generated functions as it stood
// before; true when it compiled and loaded.
using FunctionSourceCompiler = bool (*)(Engine& engine, const std::string& source);

void setFunctionSourceCompiler(FunctionSourceCompiler compiler);
FunctionSourceCompiler functionSourceCompiler();

// The text new Function compiles for its argument block: "function (a, b) {body}".
std::string functionSource(const Arguments& args);

}  // namespace vexil::script
