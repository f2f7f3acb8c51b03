#pragma once
// What the RegExp class and the String pattern methods share: the instance record, the engine's
// last-match state, and matching with its bookkeeping.
#include <cstdint>
#include <string>
#include <string_view>

#include "objects/regexp/posix_regex.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
struct NativeClass;
}

namespace vexil::objects {

inline constexpr uint32_t kFlagGlobal = 1;
inline constexpr uint32_t kFlagIgnoreCase = 2;
inline constexpr uint32_t kFlagMultiline = 4;

// The options of expressions made by the constructor and by constants, and of compile.
inline constexpr int kConstructOptions = kRegExtended | kRegNocollate | kRegEscapeInLists;
inline constexpr int kCompileOptions = kRegExtended;

inline constexpr char kRegExpErrorPrefix[] = "RegExp runtime error: ";
inline constexpr size_t kRegExpErrorMax = 255;

struct RegExpData {
  std::u16string pattern;
  uint32_t flags = 0;
  RegexHandle compiled;  // null after a compile that failed: such an expression matches nothing
  uint32_t lastIndex = 0;

  bool global() const { return flags & kFlagGlobal; }
};

// One engine's last match: the subject of the last attempt and its groups, in units of it. The
// RegExp class keeps it as its per-engine state.
struct RegExpState {
  script::Value lastInput;
  RegexGroup groups[kMaxRegexGroups];

  void mark(script::Engine& engine) const;
};

// The engine's state; null before registration.
RegExpState* regExpState(script::Engine& engine);
// The instance behind a RegExp value, or null.
RegExpData* regExpData(const script::Value& value);

// The flag bits named by the letters g, i and m of a text; other letters are ignored.
uint32_t flagsOfText(std::u16string_view text);
// Compiles the pattern with the flags' options added; on failure reports the error and answers
// false (the handle stays empty).
bool compileExpression(script::Engine& engine, RegExpData& data, int baseOptions);
// A new RegExp object (or Null with the error reported when the pattern does not compile).
script::Value newRegExp(script::Engine& engine, std::u16string pattern, uint32_t flags);
// Writes "RegExp runtime error: <text>" as one trace line.
void reportRegExpError(script::Engine& engine, int code);

// One attempt: resets the group table, records `input` (a String) as the last input and searches
// its units from `from`. With `substring` the text before `from` is cut off (so "^" matches there),
// otherwise it is seen as context. True on a match; the table then holds the groups in units of the
// whole input. A matcher that gives up is reported and counts as no match.
// `prepared`, when given, is the input already prepared for the matcher (loops over one input).
bool matchInput(script::Engine& engine, const RegExpData& data, const script::Value& input, size_t from,
                bool substring, const RegexSubject* prepared = nullptr);

// The texts of the group table as the match array of exec: elements 0 up to the first group that
// did not take part, with "index" and "input".
script::Value matchArray(script::Engine& engine);

// Installs the String pattern hooks in the engine.
void installStringHooks(script::Engine& engine);

}  // namespace vexil::objects
