#pragma once
// Loading a compiled script into an engine: its constants join the engine's constant table (once
// per module and engine; later runs reuse them), each function's code is converted to the word
// form the machine runs, and every function but ".main" becomes a global. Generated function names
// ("@F_<n>") are renumbered by the engine's count of generated functions, so modules loaded side
// by side never share one.
//
// Compiled data is untrusted: an unknown opcode, an operand past the end of its function, a jump
// that does not land on an instruction of its own function, or a name or constant operand outside
// the module's constants rejects the load with the runtime error
// "Unimplemented Vexil Script bytecode". The machine can therefore run loaded code without
// checking where its jumps go.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "script/compiler/compiled_script.h"
#include "script/vm/code_record.h"

namespace vexil::script {

struct Engine;

// What a piece of code section converts to: the words (End appended) and the word position of
// every instruction start and instruction end, by byte offset from the piece's start (-1 where no
// instruction starts or ends).
struct ConvertedCode {
  std::vector<uint32_t> words;
  std::vector<int32_t> wordAtStart;  // size: piece bytes + 1; the end maps to the End word
  std::vector<int32_t> startOfEnd;   // the opcode word of the instruction that ends at each offset
};

// Converts one function's bytes. Name and constant operands are module pool numbers, mapped to
// the engine's constants [base, base + count). False for malformed code.
bool convertCode(const Engine& engine, std::span<const uint8_t> bytes, uint32_t constantBase,
                 uint32_t constantCount, ConvertedCode& out);

// "@F_<n>" with n increased by base; any other name unchanged.
std::string renumberGeneratedName(const std::string& name, uint32_t base);

// Loads the module (raising runtime errors) and answers its ".main" code, or null when it has
// none. Its functions are defined as globals.
CodeRecord* loadModule(Engine& engine, CompiledScript& script);

}  // namespace vexil::script
