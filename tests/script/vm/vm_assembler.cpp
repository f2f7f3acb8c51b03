#include "vm_assembler.h"

#include <cstring>
#include <stdexcept>

namespace vexil::script::test {

namespace {

void putBig(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

void putLittle(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

void putUtf16(std::vector<uint8_t>& out, const std::u16string& text) {
  putBig(out, text.size() * 2, 4);
  for (char16_t unit : text) {
    out.push_back(uint8_t(unit));
    out.push_back(uint8_t(unit >> 8));
  }
}

}  // namespace

uint32_t VmAssembler::rawConstant(std::vector<uint8_t> bytes) {
  constants_.insert(constants_.end(), bytes.begin(), bytes.end());
  return constantCount_++;
}

uint32_t VmAssembler::name(const std::string& text) {
  std::vector<uint8_t> bytes{10};
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  return rawConstant(bytes);
}

uint32_t VmAssembler::integer(int64_t value) {
  std::vector<uint8_t> bytes{3};
  putBig(bytes, uint64_t(value), 8);
  return rawConstant(bytes);
}

uint32_t VmAssembler::real(double value) {
  std::vector<uint8_t> bytes{5};
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  for (int i = 0; i < 8; ++i) bytes.push_back(uint8_t(bits >> (8 * i)));
  return rawConstant(bytes);
}

uint32_t VmAssembler::string(const std::u16string& text) {
  std::vector<uint8_t> bytes{4};
  putUtf16(bytes, text);
  return rawConstant(bytes);
}

VmAssembler& VmAssembler::function(const std::string& internalName) {
  functions_.emplace_back(internalName, uint32_t(code_.size()));
  return *this;
}

VmAssembler& VmAssembler::op(Opcode code, int64_t operand) {
  const OpcodeInfo& info = opcodeInfo(int(code));
  code_.push_back(uint8_t(code));
  int bytes = operandBytes(info.form);
  if (info.form == OperandForm::Jump) throw std::logic_error("use jump() for jumps");
  putBig(code_, uint64_t(operand), bytes);
  if (haveLine_ && currentLine_ != lastLine_) {
    lines_.emplace_back(uint32_t(code_.size()), currentLine_);
    lastLine_ = currentLine_;
  }
  return *this;
}

VmAssembler& VmAssembler::jump(Opcode code, const std::string& target) {
  code_.push_back(uint8_t(code));
  fixups_.push_back({code_.size(), code_.size() + 4, target});
  putBig(code_, 0, 4);
  return *this;
}

VmAssembler& VmAssembler::label(const std::string& name) {
  labels_[name] = code_.size();
  return *this;
}

VmAssembler& VmAssembler::byte(uint8_t value) {
  code_.push_back(value);
  return *this;
}

VmAssembler& VmAssembler::line(uint32_t line) {
  haveLine_ = true;
  currentLine_ = line;
  return *this;
}

std::vector<uint8_t> VmAssembler::build(const std::string& sourceName) const {
  std::vector<uint8_t> code = code_;
  for (const Fixup& fixup : fixups_) {
    int64_t distance = int64_t(labels_.at(fixup.label)) - int64_t(fixup.end);
    for (int i = 0; i < 4; ++i) code[fixup.at + i] = uint8_t(uint64_t(distance) >> (8 * (3 - i)));
  }
  std::vector<uint8_t> table;
  putBig(table, functions_.size(), 4);
  for (const auto& [name, offset] : functions_) {
    table.insert(table.end(), name.begin(), name.end());
    table.push_back(0);
    putBig(table, offset, 4);
  }
  std::vector<uint8_t> debug;
  if (!sourceName.empty()) {
    debug.push_back(1);
    putBig(debug, sourceName.size(), 4);
    debug.insert(debug.end(), sourceName.begin(), sourceName.end());
    for (const auto& [offset, line] : lines_) {
      debug.push_back(2);
      putBig(debug, offset, 4);
      putBig(debug, line, 4);
    }
  }
  std::vector<uint8_t> out{'V', 'S', '1', 'b'};
  const std::vector<uint8_t>* sections[] = {&code, &constants_, &table, &debug};
  uint32_t offset = 56;
  for (uint32_t type = 0; type < 4; ++type) {
    putLittle(out, type | 0x4200u << 8);
    putLittle(out, offset);
    putLittle(out, uint32_t(sections[type]->size()));
    offset += uint32_t(sections[type]->size());
  }
  putLittle(out, 0xFFFFFFFFu);
  for (const auto* section : sections) out.insert(out.end(), section->begin(), section->end());
  return out;
}

}  // namespace vexil::script::test
