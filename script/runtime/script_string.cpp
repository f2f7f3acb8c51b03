#include "script/runtime/script_string.h"

#include <cstdlib>
#include <cstring>

#include "platform/text_encoding.h"
#include "script/runtime/heap.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {

namespace {

ScriptString* newRecord(Engine& engine, uint32_t flags, const char16_t* chars, uint32_t length) {
  auto* s = static_cast<ScriptString*>(allocBlock(engine, sizeof(ScriptString)));
  s->flags = flags;
  s->chars = chars;
  s->length = length;
  s->props = nullptr;
  return s;
}

uint32_t checkedLength(Engine& engine, size_t length) {
  // A string's length is one 32-bit word, and its units must fit a heap request.
  if (length > UINT32_MAX / sizeof(char16_t)) raiseOutOfMemory(engine);
  return uint32_t(length);
}

}  // namespace

Value makeString(Engine& engine, size_t length, const char16_t* source) {
  uint32_t count = checkedLength(engine, length);
  char16_t* units = nullptr;
  if (count) {
    units = static_cast<char16_t*>(allocBlock(engine, count * sizeof(char16_t)));
    if (source) std::memcpy(units, source, count * sizeof(char16_t));
  }
  return Value::fromString(newRecord(engine, 0, units, count));
}

Value concatStrings(Engine& engine, ScriptString& left, const ScriptString& right) {
  uint32_t count = checkedLength(engine, size_t(left.length) + right.length);
  size_t bytes = size_t(count) * sizeof(char16_t);
  if ((left.flags & kStringTail) && bytes <= blockSize(left.chars)) {
    ScriptString* s = newRecord(engine, kStringTail | kStringShared, left.chars, count);
    if (right.length) std::memcpy(left.units() + left.length, right.chars, right.length * sizeof(char16_t));
    left.flags = (left.flags & ~kStringTail) | kStringShared;
    return Value::fromString(s);
  }
  if (!count) return makeString(engine, 0);
  auto* units = static_cast<char16_t*>(allocBlock(engine, bytes));
  if (left.length) std::memcpy(units, left.chars, left.length * sizeof(char16_t));
  if (right.length) std::memcpy(units + left.length, right.chars, right.length * sizeof(char16_t));
  return Value::fromString(newRecord(engine, kStringTail, units, count));
}

void unshareUnits(Engine& engine, ScriptString& s) {
  if (!(s.flags & kStringShared)) return;
  char16_t* units = nullptr;
  if (s.length) {
    units = static_cast<char16_t*>(allocBlock(engine, size_t(s.length) * sizeof(char16_t)));
    std::memcpy(units, s.chars, s.length * sizeof(char16_t));
  }
  s.chars = units;
  s.flags &= ~(kStringShared | kStringTail);
}

Value makeString(Engine& engine, std::u16string_view text) {
  return makeString(engine, text.size(), text.data());
}

Value makeStringFromAnsi(Engine& engine, const char* text, size_t bytes) {
  if (!text || !bytes) return makeString(engine, 0);
  return makeString(engine, platform::ansiToUtf16(std::string_view(text, bytes)));
}

Value makeStringFromAnsi(Engine& engine, std::string_view text) {
  return makeStringFromAnsi(engine, text.data(), text.size());
}

Value makeStringFromAscii(Engine& engine, std::string_view text) {
  Value result = makeString(engine, text.size());
  char16_t* units = result.string()->units();
  for (size_t i = 0; i < text.size(); ++i) units[i] = char16_t(static_cast<unsigned char>(text[i]));
  return result;
}

Value makeStaticString(Engine& engine, const char16_t* text, size_t length) {
  return Value::fromString(newRecord(engine, kStringStatic, text, checkedLength(engine, length)));
}

std::string stringToAnsiText(const ScriptString& string) {
  return platform::utf16ToAnsi(string.view());
}

char* stringToAnsi(Engine& engine, const ScriptString& string) {
  std::string ansi = stringToAnsiText(string);
  auto* out = static_cast<char*>(std::malloc(2 * size_t(string.length) + 2));
  if (!out) raiseOutOfMemory(engine);
  std::memcpy(out, ansi.data(), ansi.size());
  out[ansi.size()] = 0;
  return out;
}

int compareUnits(std::u16string_view a, std::u16string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;  // char16_t compares unsigned
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int compareStrings(const ScriptString& a, const ScriptString& b) {
  return compareUnits(a.view(), b.view());
}

StringBuilder& StringBuilder::appendAnsi(std::string_view text) {
  text_.append(platform::ansiToUtf16(text));
  return *this;
}

}  // namespace vexil::script
