// Pattern and subject from the input, compiled and searched through the POSIX-style layer with
// every option combination the first byte picks. Sizes are bounded so that even patterns that
// backtrack without end stop at the matcher's effort limit quickly. A match's groups must lie in
// the subject.
//
// Input: options byte, pattern length byte, start byte, then 16-bit little-endian units: the
// pattern (at most kMaxPattern units), then the subject (at most kMaxSubject units).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objects/regexp/posix_regex.h"

namespace {
constexpr size_t kMaxPattern = 48;
constexpr size_t kMaxSubject = 160;
constexpr int kOptionMask = 0x71F;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::objects;
  if (size < 3) return 0;
  int options = data[0] | (data[0] & 0xE0) << 3;
  options &= kOptionMask;
  size_t patternLength = data[1] % (kMaxPattern + 1);
  size_t start = data[2];
  std::u16string units;
  for (size_t i = 3; i + 1 < size; i += 2) units.push_back(char16_t(data[i] | data[i + 1] << 8));
  if (patternLength > units.size()) patternLength = units.size();
  std::u16string pattern = units.substr(0, patternLength);
  std::u16string subject = units.substr(patternLength, kMaxSubject);

  RegexHandle regex;
  int code = compileRegex(pattern, options, regex);
  if (code != kRegOk) {
    if (regex || regexErrorText(code).empty()) std::abort();
    return 0;
  }
  if (!regex) std::abort();
  RegexGroup groups[kMaxRegexGroups];
  size_t from = start % (subject.size() + 1);
  code = executeRegex(*regex, subject, from, groups, kMaxRegexGroups);
  if (code != kRegOk) return 0;
  if (groups[0].start < int64_t(from) || groups[0].end < groups[0].start) std::abort();
  for (const RegexGroup& g : groups) {
    if (g.start < 0) {
      if (g.end != -1) std::abort();
      continue;
    }
    if (g.end < g.start || size_t(g.end) > subject.size()) std::abort();
  }
  return 0;
}
