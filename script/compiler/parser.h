#pragma once
// The parser: recursive descent with one token of lookahead. It fills the compilation's main list
// (top-level statements in source order) and function list (function definitions in order of
// completion, inner ones first). A syntax error is written to the diagnostics and ends the
// compilation by throwing CompileError; a few lapses are only warned about.
namespace vexil::script {

struct Compilation;

void parseProgram(Compilation& compilation);

}  // namespace vexil::script
