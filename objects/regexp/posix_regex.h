#pragma once
// A small POSIX-style interface over Boost.Regex for UTF-16 text: compile with the REG_* option
// bits, execute reporting up to kMaxRegexGroups groups, the error text of a code, and free (the
// owner's unique_ptr). Boost declares such functions too, but they live in its compiled library,
// which the Windows builds do not have; the options are mapped onto Boost's syntax and match
// flags here the same way.
//
// Every UTF-16 unit is one character of the matcher (wchar_t is 16-bit on Windows and holds the
// unit unchanged on Linux), so reported offsets are unit offsets on every platform.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexil::objects {

// Compile options.
inline constexpr int kRegExtended = 0x001;        // REG_EXTENDED: POSIX extended syntax (else basic)
inline constexpr int kRegIcase = 0x002;           // REG_ICASE
inline constexpr int kRegNosub = 0x004;           // REG_NOSUB: no groups reported
inline constexpr int kRegNewline = 0x008;         // REG_NEWLINE: "." does not match a line break
inline constexpr int kRegNospec = 0x010;          // REG_NOSPEC: the whole pattern is literal
inline constexpr int kRegNocollate = 0x100;       // REG_NOCOLLATE: ranges by code, not by locale
inline constexpr int kRegEscapeInLists = 0x200;   // REG_ESCAPE_IN_LISTS: "\" escapes inside [...]
inline constexpr int kRegNewlineAlt = 0x400;      // REG_NEWLINE_ALT: a line break separates alternatives

// Result codes, numbered as the POSIX interface and Boost number them.
inline constexpr int kRegOk = 0;
inline constexpr int kRegNoMatch = 1;
inline constexpr int kRegEspace = 12;        // out of memory
inline constexpr int kRegEcomplexity = 18;   // the match would take too long
inline constexpr int kRegEunknown = 21;

inline constexpr size_t kMaxRegexGroups = 256;

// One group of a match, in units from the start of the subject; -1 when it did not take part.
struct RegexGroup {
  int64_t start = -1;
  int64_t end = -1;
};

// A subject prepared for the matcher once, so that a loop over its matches does not widen the
// whole text again for each one (on Windows it is the units themselves). The text must outlive it.
class RegexSubject {
 public:
  explicit RegexSubject(std::u16string_view text);
  RegexSubject(const RegexSubject&) = delete;
  RegexSubject& operator=(const RegexSubject&) = delete;
  const wchar_t* begin() const { return begin_; }
  const wchar_t* end() const { return end_; }
  size_t size() const { return size_t(end_ - begin_); }

 private:
  std::wstring copy_;
  const wchar_t* begin_;
  const wchar_t* end_;
};

class CompiledRegex;
struct CompiledRegexDeleter {
  void operator()(CompiledRegex* regex) const;
};
using RegexHandle = std::unique_ptr<CompiledRegex, CompiledRegexDeleter>;

// Compiles the pattern; kRegOk and the expression, or an error code and nothing.
int compileRegex(std::u16string_view pattern, int options, RegexHandle& out);
// Searches the subject from unit `from` on, the units before it seen as context (for "^" and word
// boundaries); on kRegOk fills groups[0 .. count) (unused ones -1) with offsets from the start of
// the subject. Other answers: kRegNoMatch, or an error code when the matcher gave up (too complex,
// out of memory).
int executeRegex(const CompiledRegex& regex, const RegexSubject& subject, size_t from, RegexGroup* groups,
                 size_t count);
int executeRegex(const CompiledRegex& regex, std::u16string_view subject, size_t from, RegexGroup* groups,
                 size_t count);
// The number of groups the pattern defines (not counting the whole match).
size_t regexGroupCount(const CompiledRegex& regex);
// The library's text for a code.
std::string regexErrorText(int code);

}  // namespace vexil::objects
