#include "script/compiler/disassembler.h"

#include <cinttypes>
#include <cstdio>
#include <map>

#include "platform/text_encoding.h"
#include "script/compiler/opcodes.h"

namespace vexil::script {
namespace {

const char* kSectionNames[] = {"code", "constants", "functions", "debug"};

std::string hex(uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*" PRIX32, width, value);
  return text;
}

// Printable ASCII as is, the usual escapes, anything else as \uXXXX.
std::string quoted(std::u16string_view text, char quote) {
  std::string out(1, quote);
  for (char16_t unit : text) {
    if (unit == u'\\' || unit == char16_t(quote)) {
      out += '\\';
      out += char(unit);
    } else if (unit == u'\n') {
      out += "\\n";
    } else if (unit == u'\r') {
      out += "\\r";
    } else if (unit == u'\t') {
      out += "\\t";
    } else if (unit >= 0x20 && unit < 0x7F) {
      out += char(unit);
    } else {
      out += "\\u" + hex(unit, 4);
    }
  }
  out += quote;
  return out;
}

struct CodeReader {
  std::span<const uint8_t> code;
  const std::vector<ConstantEntry>& constants;
  std::map<uint32_t, std::string> functions;  // by offset
  std::map<uint32_t, uint32_t> lines;          // end offset of an instruction -> its line

  std::string constantOperand(uint32_t number, bool name) const {
    std::string out = "#" + std::to_string(number);
    if (name) number &= kNameOperandMask;
    if (number >= constants.size()) return out + " (no such constant)";
    const ConstantEntry& entry = constants[number];
    if (name && entry.kind != ConstantKind::Name) return out + " (not a name)";
    return out + " " + constantText(entry);
  }

  std::string operandText(int opcode, uint32_t at, uint32_t end) const {
    const OpcodeInfo& info = opcodeInfo(opcode);
    int bytes = operandBytes(info.form);
    uint32_t value = readOperand(code.data() + at, bytes);
    switch (info.form) {
      case OperandForm::None: return {};
      case OperandForm::Byte:
        return std::to_string(opcode == int(Opcode::Roll) ? int(int8_t(value)) : int(value));
      case OperandForm::Short: return std::to_string(value);
      case OperandForm::Integer: return std::to_string(int32_t(value));
      case OperandForm::Name: return constantOperand(value, true);
      case OperandForm::Constant: return constantOperand(value, false);
      case OperandForm::Jump: return "-> " + hex(uint32_t(end + int32_t(value)), 4);
    }
    return {};
  }

  std::string listing() const {
    std::string out;
    int64_t line = -1;
    for (uint32_t at = 0; at < code.size();) {
      auto function = functions.find(at);
      if (function != functions.end()) out += function->second + ":\n";
      int op = code[at];
      if (!isValidOpcode(op)) {
        out += "  " + hex(at, 4) + "  invalid opcode " + std::to_string(op) + "; the code stops here\n";
        break;
      }
      uint32_t end = at + uint32_t(instructionBytes(op));
      if (end > code.size()) {
        out += "  " + hex(at, 4) + "  " + opcodeInfo(op).name + " (truncated operand)\n";
        break;
      }
      auto lineRecord = lines.find(end);
      if (lineRecord != lines.end() && lineRecord->second != line) {
        line = lineRecord->second;
        out += "  ; line " + std::to_string(line) + "\n";
      }
      out += "  " + hex(at, 4) + "  " + opcodeInfo(op).name;
      std::string operandPart = operandText(op, at + 1, end);
      if (!operandPart.empty()) out += " " + operandPart;
      out += "\n";
      at = end;
    }
    return out;
  }
};

}  // namespace

std::string constantText(const ConstantEntry& entry) {
  char number[64];
  switch (entry.kind) {
    case ConstantKind::Integer: return std::to_string(entry.integer);
    case ConstantKind::Boolean: return entry.integer ? "true" : "false";
    case ConstantKind::Real:
      std::snprintf(number, sizeof number, "%.17g", entry.real);
      return number;
    case ConstantKind::String: return quoted(entry.text, '"');
    case ConstantKind::Name: return entry.name;
    case ConstantKind::RegExp: {
      std::string out = "/" + platform::utf16ToUtf8(entry.text) + "/";
      if (entry.regexpFlags & 1) out += 'g';
      if (entry.regexpFlags & 2) out += 'i';
      if (entry.regexpFlags & 4) out += 'm';
      return out;
    }
    case ConstantKind::Kind1: return "(kind 1)";
    case ConstantKind::Kind13: return "(kind 13)";
  }
  return "?";
}

std::string disassemble(const CompiledScript& script) {
  std::string out = "sections:\n";
  for (const auto& section : script.sections) {
    const char* name = section.type < 4 ? kSectionNames[section.type] : "unknown";
    out += "  " + std::string(name) + " " + std::to_string(section.bytes.size()) + " bytes\n";
  }
  std::string error;
  auto constants = decodeConstants(script.bytesOf(SectionType::Constants), &error);
  if (!constants) {
    out += "constants: unreadable (" + error + ")\n";
    constants.emplace();
  }
  out += "constants: " + std::to_string(constants->size()) + "\n";
  for (size_t i = 0; i < constants->size(); ++i)
    out += "  #" + std::to_string(i) + " " + constantText((*constants)[i]) + "\n";

  CodeReader reader{script.bytesOf(SectionType::Code), *constants, {}, {}};
  auto functions = decodeFunctionTable(script.bytesOf(SectionType::Functions), &error);
  if (functions) {
    out += "functions: " + std::to_string(functions->size()) + "\n";
    for (const auto& f : *functions) {
      out += "  " + f.name + " @" + hex(f.offset, 4) + "\n";
      reader.functions[f.offset] = f.name;
    }
  } else {
    out += "functions: unreadable (" + error + ")\n";
  }
  if (script.find(SectionType::Debug) && !script.bytesOf(SectionType::Debug).empty()) {
    auto debug = decodeDebugInfo(script.bytesOf(SectionType::Debug), &error);
    if (debug) {
      out += "source: " + debug->sourceName.value_or("(none)") + "\n";
      for (const auto& line : debug->lines) reader.lines[line.offset] = line.line;
    } else {
      out += "debug: unreadable (" + error + ")\n";
    }
  }
  out += "code:\n";
  out += reader.listing();
  return out;
}

}  // namespace vexil::script
