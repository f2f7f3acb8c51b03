#include "script/vm/code_record.h"

#include <algorithm>
#include <cstring>

#include "script/runtime/heap.h"
#include "script/runtime/script_function.h"

namespace vexil::script {

CodeRecord* newCodeRecord(Engine& engine, Atom name, std::span<const uint32_t> words,
                          std::span<const LinePosition> lines, std::string_view sourceName) {
  size_t wordBytes = words.size() * sizeof(uint32_t);
  size_t lineBytes = lines.size() * sizeof(LinePosition);
  size_t total = sizeof(CodeRecord) + wordBytes + lineBytes + sourceName.size() + 1;
  auto* code = static_cast<CodeRecord*>(allocBlock(engine, total));
  char* at = reinterpret_cast<char*>(code + 1);
  code->name = name;
  code->wordCount = uint32_t(words.size());
  code->lineCount = uint32_t(lines.size());
  code->words = reinterpret_cast<uint32_t*>(at);
  if (wordBytes) std::memcpy(at, words.data(), wordBytes);
  at += wordBytes;
  code->lines = reinterpret_cast<LinePosition*>(at);
  if (lineBytes) std::memcpy(at, lines.data(), lineBytes);
  at += lineBytes;
  if (!sourceName.empty()) std::memcpy(at, sourceName.data(), sourceName.size());
  at[sourceName.size()] = 0;
  code->sourceName = at;
  return code;
}

uint32_t lineOfWord(const CodeRecord& code, uint32_t word) {
  const LinePosition* begin = code.lines;
  const LinePosition* end = begin + code.lineCount;
  const LinePosition* after =
      std::upper_bound(begin, end, word, [](uint32_t w, const LinePosition& p) { return w < p.word; });
  return after == begin ? 0 : after[-1].line;
}

Value newFunctionValue(Engine& engine, CodeRecord* code) {
  auto* function = static_cast<ScriptFunction*>(allocBlock(engine, sizeof(ScriptFunction)));
  function->code = code;
  function->props = nullptr;
  Value v;
  v.setFunction(function);
  return v;
}

}  // namespace vexil::script
