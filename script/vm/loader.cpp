#include "script/vm/loader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "script/compiler/opcodes.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"
#include "script/vm/fused_instructions.h"
#include "script/vm/vm_messages.h"

namespace vexil::script {

namespace {

constexpr char kGeneratedPrefix[] = "@F_";
constexpr size_t kGeneratedPrefixLength = sizeof kGeneratedPrefix - 1;

[[noreturn]] void rejectModule(Engine& engine) { raiseError(engine, "%s", kUnimplementedBytecode); }

// The number of a generated name, or false.
bool generatedNumber(const std::string& name, uint64_t& number) {
  if (name.compare(0, kGeneratedPrefixLength, kGeneratedPrefix) != 0) return false;
  const char* first = name.data() + kGeneratedPrefixLength;
  const char* last = name.data() + name.size();
  if (first == last) return false;
  auto [end, error] = std::from_chars(first, last, number);
  return error == std::errc() && end == last;
}

// Walks the instructions once: where each starts and ends in words.
bool layOut(std::span<const uint8_t> bytes, ConvertedCode& out) {
  out.wordAtStart.assign(bytes.size() + 1, -1);
  out.startOfEnd.assign(bytes.size() + 1, -1);
  int32_t word = 0;
  for (size_t at = 0; at < bytes.size();) {
    int code = bytes[at];
    if (!isValidOpcode(code)) return false;
    size_t size = size_t(instructionBytes(code));
    if (size > bytes.size() - at) return false;
    out.wordAtStart[at] = word;
    out.startOfEnd[at + size] = word;
    word += opcodeInfo(code).form == OperandForm::None ? 1 : 2;
    at += size;
  }
  out.wordAtStart[bytes.size()] = word;  // the End the loader appends
  return true;
}

bool operandWord(const Engine& engine, OperandForm form, int code, const uint8_t* p, size_t at, size_t size,
                 uint32_t base, uint32_t count, const ConvertedCode& layout, uint32_t& word) {
  switch (form) {
    case OperandForm::None: return true;
    case OperandForm::Byte:
      word = code == int(Opcode::Roll) ? uint32_t(int32_t(int8_t(p[0]))) : p[0];
      return true;
    case OperandForm::Short: word = readOperand(p, 2); return true;
    case OperandForm::Integer: word = readOperand(p, 4); return true;
    case OperandForm::Constant: {
      uint32_t n = readOperand(p, 4);
      if (n >= count) return false;
      word = base + n;
      return true;
    }
    case OperandForm::Name: {
      uint32_t n = readOperand(p, 4) & kNameOperandMask;
      if (n >= count || engine.constants.data[base + n].tag != Tag::Name) return false;
      word = uint32_t(engine.constants.data[base + n].atom());
      return true;
    }
    case OperandForm::Jump: {
      int64_t target = int64_t(at + size) + int32_t(readOperand(p, 4));
      if (target < 0 || target >= int64_t(layout.wordAtStart.size())) return false;
      int32_t targetWord = layout.wordAtStart[size_t(target)];
      if (targetWord < 0) return false;
      word = uint32_t(targetWord - (layout.wordAtStart[at] + 2));
      return true;
    }
  }
  return false;
}

}  // namespace

bool convertCode(const Engine& engine, std::span<const uint8_t> bytes, uint32_t constantBase,
                 uint32_t constantCount, ConvertedCode& out) {
  if (!layOut(bytes, out)) return false;
  out.words.assign(size_t(out.wordAtStart[bytes.size()]) + 1, 0);
  for (size_t at = 0; at < bytes.size();) {
    int code = bytes[at];
    size_t size = size_t(instructionBytes(code));
    OperandForm form = opcodeInfo(code).form;
    size_t word = size_t(out.wordAtStart[at]);
    out.words[word] = uint32_t(code);
    uint32_t operand = 0;
    if (!operandWord(engine, form, code, bytes.data() + at + 1, at, size, constantBase, constantCount, out, operand))
      return false;
    if (form != OperandForm::None) out.words[word + 1] = operand;
    at += size;
  }
  out.words.back() = uint32_t(Opcode::End);
  return true;
}

std::string renumberGeneratedName(const std::string& name, uint32_t base) {
  uint64_t number = 0;
  if (!generatedNumber(name, number)) return name;
  return kGeneratedPrefix + std::to_string(number + base);
}

namespace {

struct Piece {
  std::string name;
  uint32_t begin;
  uint32_t end;
};

Value constantValue(Engine& engine, const ConstantEntry& entry, uint32_t functionBase) {
  switch (entry.kind) {
    case ConstantKind::Kind1: return Value::null();
    case ConstantKind::Kind13: return Value::nan();
    case ConstantKind::Boolean: return Value::fromBoolean(entry.integer != 0);
    case ConstantKind::Integer: return Value::fromInteger(entry.integer);
    case ConstantKind::Real: return numberFromReal(entry.real);
    case ConstantKind::Name: return Value::fromName(intern(engine, renumberGeneratedName(entry.name, functionBase)));
    case ConstantKind::RegExp:
      if (!engine.regexp.fromConstant) return Value::null();
      return engine.regexp.fromConstant(engine, entry.text, entry.regexpFlags);
    case ConstantKind::String: break;
  }
  return Value();
}

void appendConstants(Engine& engine, const std::vector<ConstantEntry>& entries, uint32_t functionBase) {
  for (const ConstantEntry& entry : entries) {
    if (entry.kind == ConstantKind::String) {
      addStringConstant(engine, entry.text.data(), uint32_t(entry.text.size()));
    } else {
      addConstant(engine, constantValue(engine, entry, functionBase));
    }
  }
}

// A module loaded before kept its constants; the generated names among them tell which function
// base it was loaded with, so that its functions are defined again under the same names.
uint32_t earlierFunctionBase(const Engine& engine, const std::vector<ConstantEntry>& entries, uint32_t base) {
  for (size_t i = 0; i < entries.size(); ++i) {
    uint64_t original = 0, loaded = 0;
    if (entries[i].kind != ConstantKind::Name || !generatedNumber(entries[i].name, original)) continue;
    const Value& v = engine.constants.data[base + i];
    if (v.tag == Tag::Name && generatedNumber(nameOf(engine, v.atom()), loaded) && loaded >= original)
      return uint32_t(loaded - original);
  }
  return engine.functionBase;
}

std::vector<Piece> cutPieces(Engine& engine, const CompiledScript& script, size_t codeSize) {
  auto table = decodeFunctionTable(script.bytesOf(SectionType::Functions));
  if (!table) {
    if (script.bytesOf(SectionType::Functions).empty()) return {};
    rejectModule(engine);
  }
  std::vector<Piece> pieces;
  for (size_t i = 0; i < table->size(); ++i) {
    uint32_t begin = (*table)[i].offset;
    uint32_t end = i + 1 < table->size() ? (*table)[i + 1].offset : uint32_t(codeSize);
    if (begin > end || end > codeSize) rejectModule(engine);
    pieces.push_back({(*table)[i].name, begin, end});
  }
  return pieces;
}

std::vector<LinePosition> pieceLines(const DebugInfo& debug, const Piece& piece, const ConvertedCode& code) {
  std::vector<LinePosition> lines;
  for (const DebugInfo::Line& record : debug.lines) {
    if (record.offset <= piece.begin || record.offset > piece.end) continue;
    int32_t word = code.startOfEnd[record.offset - piece.begin];
    if (word >= 0) lines.push_back({uint32_t(word), record.line});
  }
  std::stable_sort(lines.begin(), lines.end(), [](const LinePosition& a, const LinePosition& b) { return a.word < b.word; });
  return lines;
}

}  // namespace

CodeRecord* loadModule(Engine& engine, CompiledScript& script) {
  auto entries = decodeConstants(script.bytesOf(SectionType::Constants));
  if (!entries) rejectModule(engine);
  auto debug = decodeDebugInfo(script.bytesOf(SectionType::Debug));
  if (!debug) rejectModule(engine);

  uint32_t count = uint32_t(entries->size());
  bool loadedHere = script.loadedEngine == &engine && script.constantBase + uint64_t(count) <= engine.constants.count;
  uint32_t functionBase = engine.functionBase;
  if (loadedHere) {
    functionBase = earlierFunctionBase(engine, *entries, script.constantBase);
  } else {
    uint32_t base = engine.constants.count;
    appendConstants(engine, *entries, functionBase);
    script.loadedEngine = &engine;
    script.constantBase = base;
  }

  std::span<const uint8_t> codeBytes = script.bytesOf(SectionType::Code);
  std::string sourceName = debug->sourceName ? *debug->sourceName : kUnknownSourceName;
  CodeRecord* main = nullptr;
  uint64_t nextBase = engine.functionBase;
  for (const Piece& piece : cutPieces(engine, script, codeBytes.size())) {
    ConvertedCode converted;
    if (!convertCode(engine, codeBytes.subspan(piece.begin, piece.end - piece.begin), script.constantBase, count,
                     converted))
      rejectModule(engine);
    auto lines = pieceLines(*debug, piece, converted);
    if (engine.fuseInstructions) fuseInstructions(converted.words);
    std::string name = renumberGeneratedName(piece.name, functionBase);
    CodeRecord* code = newCodeRecord(engine, intern(engine, name), converted.words, lines, sourceName);
    if (piece.name == kMainFunctionName) {
      main = code;
      continue;
    }
    engine.globals.data[code->name] = newFunctionValue(engine, code);
    uint64_t number = 0;
    if (generatedNumber(piece.name, number)) nextBase = std::max(nextBase + 1, uint64_t(functionBase) + number + 1);
  }
  engine.functionBase = uint32_t(std::min<uint64_t>(nextBase, UINT32_MAX));
  return main;
}

}  // namespace vexil::script
