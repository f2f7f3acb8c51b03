#pragma once
// The executable form of one function: each instruction's opcode in a 32-bit word of its own, its
// operand (if any) in the next word, and an End word after the last instruction. Names are already
// atoms, constants engine constant indices, jumps word distances from the word after the operand.
//
// A code record is one engine-heap block holding the record, its words, its line table and its
// source name, so the collector keeps or frees it as a whole: a Function value keeps its record,
// and the machine keeps the records of the frames it is running.
#include <cstdint>
#include <span>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

// Instruction `word` (the position of its opcode word) and every one after it up to the next entry
// come from source line `line`.
struct LinePosition {
  uint32_t word;
  uint32_t line;
};

struct CodeRecord {
  Atom name;  // the internal name: the declared name, "@F_<n>" or ".main"
  uint32_t wordCount;
  uint32_t lineCount;
  uint32_t* words;
  LinePosition* lines;     // increasing word positions
  const char* sourceName;  // terminated

  bool contains(const uint32_t* position) const { return position >= words && position < words + wordCount; }
};

// Copies words, lines and the source name into one new engine-heap block.
CodeRecord* newCodeRecord(Engine& engine, Atom name, std::span<const uint32_t> words,
                          std::span<const LinePosition> lines, std::string_view sourceName);

// The line of the instruction whose opcode word is at `word`; 0 when the table says nothing.
uint32_t lineOfWord(const CodeRecord& code, uint32_t word);

// A new Function value over the code, with no property table yet.
Value newFunctionValue(Engine& engine, CodeRecord* code);

}  // namespace vexil::script
