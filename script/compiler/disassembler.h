#pragma once
// A readable listing of a compiled script: its sections, its constants, its function table, and
// each function's code with offsets, opcode names and operands (names and constants resolved,
// jumps as absolute offsets), with the source lines of the debug section when it has them.
// Everything is read through the checking decoders, so a damaged file prints what can be read
// and says where it stops.
#include <string>

#include "script/compiler/compiled_script.h"

namespace vexil::script {

std::string disassemble(const CompiledScript& script);

// One constant as the listing shows it: 5, 1.5, "text", /re/g, name.
std::string constantText(const ConstantEntry& entry);

}  // namespace vexil::script
