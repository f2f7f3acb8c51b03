#pragma once
// A small assembler for hand-made "VS1b" data: functions of instructions named by the opcode
// table, labels for jumps, constants of every kind and optional debug lines. Tests use it to
// build modules the compiler would never write.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "script/compiler/opcodes.h"

namespace vexil::script::test {

class VmAssembler {
 public:
  // Constants, each answering its pool number (equal constants are not shared).
  uint32_t name(const std::string& text);
  uint32_t integer(int64_t value);
  uint32_t real(double value);
  uint32_t string(const std::u16string& text);
  uint32_t rawConstant(std::vector<uint8_t> bytes);

  // Starts a function; ".main" is the top-level code.
  VmAssembler& function(const std::string& internalName);
  VmAssembler& op(Opcode code, int64_t operand = 0);
  VmAssembler& jump(Opcode code, const std::string& label);
  VmAssembler& label(const std::string& label);
  // A raw byte in the code (for invalid opcodes and truncated operands).
  VmAssembler& byte(uint8_t value);
  // The source line of the instructions that follow (debug section).
  VmAssembler& line(uint32_t line);

  std::vector<uint8_t> build(const std::string& sourceName = "") const;

 private:
  struct Fixup {
    size_t at;       // the operand's offset in the code
    size_t end;      // the offset after the instruction
    std::string label;
  };
  std::vector<uint8_t> code_;
  std::vector<uint8_t> constants_;
  uint32_t constantCount_ = 0;
  std::vector<std::pair<std::string, uint32_t>> functions_;
  std::map<std::string, size_t> labels_;
  std::vector<Fixup> fixups_;
  std::vector<std::pair<uint32_t, uint32_t>> lines_;  // (offset after instruction, line)
  uint32_t currentLine_ = 0;
  bool haveLine_ = false;
  uint32_t lastLine_ = UINT32_MAX;
};

}  // namespace vexil::script::test
