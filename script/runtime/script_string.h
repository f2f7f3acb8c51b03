#pragma once
// Counted UTF-16 strings in the engine heap. The units are never terminated in memory: code that
// needs a terminated text copies them. Static strings point at characters the heap does not own
// (constant-pool text, fixed words of the runtime) and must not be modified.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

inline constexpr uint32_t kStringStatic = 1u << 0;
// Static characters of the constant pool, held in the system heap and freed with the engine.
inline constexpr uint32_t kStringPoolOwned = 1u << 1;
// A concatenation's result whose units end where the used part of its unit block ends: the next
// concatenation onto it may write its right side into the block's spare room and share the block.
inline constexpr uint32_t kStringTail = 1u << 2;
// The unit block is shared with other strings: a change to a unit copies the units first.
inline constexpr uint32_t kStringShared = 1u << 3;

struct ScriptString {
  uint32_t flags;
  const char16_t* chars;  // may be null when length is 0
  uint32_t length;
  PropertyTable* props;   // null until the string gets properties

  bool isStatic() const { return flags & kStringStatic; }
  std::u16string_view view() const { return {chars ? chars : u"", length}; }
  // Writable units of a heap-owned string.
  char16_t* units() { return const_cast<char16_t*>(chars); }
};

// A heap-owned string widened from ANSI text; null or empty text gives the empty string.
Value makeStringFromAnsi(Engine& engine, const char* text, size_t bytes);
Value makeStringFromAnsi(Engine& engine, std::string_view text);
// A heap-owned string widened unit by unit from 7-bit text (number digits and words), which reads
// the same in every code page, so it skips the code-page conversion.
Value makeStringFromAscii(Engine& engine, std::string_view text);
// A heap-owned string of length units, copied from source when it is given (else to be filled).
Value makeString(Engine& engine, size_t length, const char16_t* source = nullptr);
Value makeString(Engine& engine, std::u16string_view text);
// A new string of left's units followed by right's. When left is the latest concatenation onto
// its unit block and the block has room, right's units go after left's in the same block and
// the two strings share it, so that text built piece by piece costs no repeated copying.
Value concatStrings(Engine& engine, ScriptString& left, const ScriptString& right);
// Gives a string whose unit block is shared a block of its own, before its units change.
void unshareUnits(Engine& engine, ScriptString& s);
// A string over fixed text that outlives the engine's use of it.
Value makeStaticString(Engine& engine, const char16_t* text, size_t length);
template <size_t N>
Value makeStaticString(Engine& engine, const char16_t (&text)[N]) {
  return makeStaticString(engine, text, N - 1);
}

// The units as ANSI text, terminated, in a new system-heap buffer of 2 * length + 2 bytes that the
// caller frees with std::free.
char* stringToAnsi(Engine& engine, const ScriptString& string);
std::string stringToAnsiText(const ScriptString& string);

// Ordinal order: unit by unit as unsigned numbers, a prefix first. Returns -1, 0 or 1.
int compareStrings(const ScriptString& a, const ScriptString& b);
int compareUnits(std::u16string_view a, std::u16string_view b);

// Collects units in the system heap and turns them into one heap-owned string at the end, so that
// building a text costs one engine allocation however many pieces it has.
class StringBuilder {
 public:
  StringBuilder& append(std::u16string_view units) { text_.append(units); return *this; }
  StringBuilder& append(char16_t unit) { text_.push_back(unit); return *this; }
  StringBuilder& append(const ScriptString& string) { return append(string.view()); }
  StringBuilder& appendAnsi(std::string_view text);
  size_t length() const { return text_.size(); }
  std::u16string_view view() const { return text_; }
  Value finish(Engine& engine) const { return makeString(engine, text_); }

 private:
  std::u16string text_;
};

}  // namespace vexil::script
