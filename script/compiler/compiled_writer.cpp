#include "script/compiler/compiled_writer.h"

#include <ctime>
#include <random>
#include <unordered_map>
#include <string>

#include "script/compiler/compiled_script.h"
#include "script/compiler/constant_pool.h"

namespace vexil::script {
namespace {

void putBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putLittle(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

struct Sections {
  std::vector<uint8_t> code;
  ConstantPool pool;
  std::vector<uint8_t> functions;
  std::vector<uint8_t> debug;
};

// One instruction's bytes: the opcode, then its operand in the form its opcode prescribes.
void writeInstruction(const Instruction& i, const std::unordered_map<int64_t, uint32_t>& labels, Sections& s) {
  s.code.push_back(uint8_t(i.opcode));
  switch (opcodeInfo(i.opcode).form) {
    case OperandForm::None: return;
    case OperandForm::Byte: s.code.push_back(uint8_t(i.integer)); return;
    case OperandForm::Short: putBig(s.code, uint32_t(i.integer), 2); return;
    case OperandForm::Integer: putBig(s.code, uint32_t(i.integer), 4); return;
    case OperandForm::Name: putBig(s.code, s.pool.name(i.text), 4); return;
    case OperandForm::Constant: putBig(s.code, s.pool.constant(i), 4); return;
    case OperandForm::Jump: {
      uint32_t target = labels.at(i.integer);
      putBig(s.code, target - (i.offset + i.size), 4);
      return;
    }
  }
}

void writeCode(const InstructionList& list, const WriterOptions& options, Sections& s) {
  std::unordered_map<int64_t, uint32_t> labels;
  uint32_t functionCount = 0;
  for (const auto& i : list) {
    if (i.isLabel()) labels[i.integer] = i.offset;
    if (i.isFunction()) ++functionCount;
  }
  putBig(s.functions, functionCount, 4);
  if (options.debugInfo) {
    s.debug.push_back(1);
    putBig(s.debug, uint32_t(options.sourceName.size()), 4);
    s.debug.insert(s.debug.end(), options.sourceName.begin(), options.sourceName.end());
  }
  int64_t lastLine = -1;
  for (const auto& i : list) {
    if (i.isFunction()) {
      s.functions.insert(s.functions.end(), i.text.begin(), i.text.end());
      s.functions.push_back(0);
      putBig(s.functions, i.offset, 4);
    }
    if (i.isMarker()) continue;
    writeInstruction(i, labels, s);
    if (options.debugInfo && i.line != lastLine) {
      s.debug.push_back(2);
      putBig(s.debug, i.offset + i.size, 4);
      putBig(s.debug, uint32_t(i.line), 4);
      lastLine = i.line;
    }
  }
}

}  // namespace

uint32_t timeSeed() { return uint32_t(std::time(nullptr)); }

std::vector<uint8_t> writeCompiledScript(InstructionList& list, const WriterOptions& options) {
  layoutInstructions(list);
  Sections s;
  writeCode(list, options, s);
  const std::vector<uint8_t>* bodies[] = {&s.code, &s.pool.section(), &s.functions, &s.debug};

  std::minstd_rand random(options.tagSeed);
  std::vector<uint8_t> file(kCompiledMagic, kCompiledMagic + 4);
  uint32_t offset = kCompiledHeaderSize;
  for (uint32_t type = 0; type < 4; ++type) {
    uint32_t upper = uint32_t(random()) & 0xFFFFFF;
    putLittle(file, upper << 8 | type);
    putLittle(file, offset);
    putLittle(file, uint32_t(bodies[type]->size()));
    offset += uint32_t(bodies[type]->size());
  }
  putLittle(file, kSectionListEnd);
  file.reserve(offset);
  for (const auto* body : bodies) file.insert(file.end(), body->begin(), body->end());
  return file;
}

}  // namespace vexil::script
