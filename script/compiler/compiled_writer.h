#pragma once
// The "VS1b" writer: lays out an optimised instruction list and builds the file — the 56-byte
// header, then the code, constants, function table and debug sections.
#include <cstdint>
#include <string_view>
#include <vector>

#include "script/compiler/instruction_list.h"

namespace vexil::script {

struct WriterOptions {
  bool debugInfo = false;        // the source name and a line table
  std::string_view sourceName;   // for the debug section
  uint32_t tagSeed = 0;          // seeds the random upper bits of the tag words
};

// The tag words' random bits come from a generator seeded with the current time.
uint32_t timeSeed();

std::vector<uint8_t> writeCompiledScript(InstructionList& list, const WriterOptions& options);

}  // namespace vexil::script
