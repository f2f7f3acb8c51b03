#include "script/compiler/compiled_writer.h"

#include <ctime>
#include <random>

#include "script/compiler/compiled_script.h"

namespace vexil::script {
namespace {

void putBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putLittle(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

uint32_t timeSeed() { return uint32_t(std::time(nullptr)); }

CompiledWriter::CompiledWriter(const WriterOptions& options) : options_(options) {
  if (!options_.debugInfo) return;
  debug_.push_back(1);
  putBig(debug_, uint32_t(options_.sourceName.size()), 4);
  debug_.insert(debug_.end(), options_.sourceName.begin(), options_.sourceName.end());
}

// The opcode, then its operand in the form its opcode prescribes.
void CompiledWriter::writeInstruction(const Instruction& i) {
  code_.push_back(uint8_t(i.opcode));
  switch (opcodeInfo(i.opcode).form) {
    case OperandForm::None: return;
    case OperandForm::Byte: code_.push_back(uint8_t(i.integer)); return;
    case OperandForm::Short: putBig(code_, uint32_t(i.integer), 2); return;
    case OperandForm::Integer: putBig(code_, uint32_t(i.integer), 4); return;
    case OperandForm::Name: putBig(code_, pool_.name(i.text), 4); return;
    case OperandForm::Constant: putBig(code_, pool_.constant(i), 4); return;
    case OperandForm::Jump: putBig(code_, labels_.at(i.integer) - (i.offset + i.size), 4); return;
  }
}

void CompiledWriter::addFunction(InstructionList& list) {
  uint32_t offset = uint32_t(code_.size());
  labels_.clear();
  for (auto& i : list) {
    i.offset = offset;
    offset += i.size;
    if (i.isLabel()) labels_[i.integer] = i.offset;
  }
  for (const auto& i : list) {
    if (i.isFunction()) {
      ++functionCount_;
      functions_.insert(functions_.end(), i.text.begin(), i.text.end());
      functions_.push_back(0);
      putBig(functions_, i.offset, 4);
    }
    if (i.isMarker()) continue;
    writeInstruction(i);
    // A line record wherever the line changes from one instruction to the next.
    if (options_.debugInfo && i.line != lastLine_) {
      debug_.push_back(2);
      putBig(debug_, i.offset + i.size, 4);
      putBig(debug_, uint32_t(i.line), 4);
      lastLine_ = i.line;
    }
  }
}

std::vector<uint8_t> CompiledWriter::finish() {
  std::vector<uint8_t> table;
  putBig(table, functionCount_, 4);
  table.insert(table.end(), functions_.begin(), functions_.end());
  const std::vector<uint8_t>* bodies[] = {&code_, &pool_.section(), &table, &debug_};

  std::minstd_rand random(options_.tagSeed);
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

std::vector<uint8_t> writeCompiledScript(InstructionList& list, const WriterOptions& options) {
  CompiledWriter writer(options);
  writer.addFunction(list);
  return writer.finish();
}

}  // namespace vexil::script
