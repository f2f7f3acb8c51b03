#pragma once
// The "VS1b" writer. Finished functions are handed to it one at a time, already optimised: each
// is laid out after the code before it (jumps never leave their function, so its labels resolve
// on the spot), its bytes go to the code section, its names and constants to the pool, its entry
// to the function table and its line records to the debug section. `finish` builds the file: the
// 56-byte header, then the code, constants, function table and debug sections.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/compiler/constant_pool.h"
#include "script/compiler/instruction_list.h"

namespace vexil::script {

struct WriterOptions {
  bool debugInfo = false;        // the source name and a line table
  std::string_view sourceName;   // for the debug section
  uint32_t tagSeed = 0;          // seeds the random upper bits of the tag words
};

// The tag words' random bits come from a generator seeded with the current time.
uint32_t timeSeed();

class CompiledWriter {
 public:
  explicit CompiledWriter(const WriterOptions& options);
  // Lays out and writes the instructions (one or more whole functions).
  void addFunction(InstructionList& list);
  std::vector<uint8_t> finish();

 private:
  void writeInstruction(const Instruction& i);

  WriterOptions options_;
  std::vector<uint8_t> code_;
  ConstantPool pool_;
  std::vector<uint8_t> functions_;  // entries; the count goes first at the end
  uint32_t functionCount_ = 0;
  std::vector<uint8_t> debug_;
  int64_t lastLine_ = -1;
  std::unordered_map<int64_t, uint32_t> labels_;
};

// All at once, for a whole list.
std::vector<uint8_t> writeCompiledScript(InstructionList& list, const WriterOptions& options);

}  // namespace vexil::script
