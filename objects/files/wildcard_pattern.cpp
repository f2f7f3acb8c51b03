#include "objects/files/wildcard_pattern.h"

namespace vexil::objects::files {

// Greedy with one point of return: on a mismatch after a "*", the star takes one more character
// and matching resumes there. Linear in practice and never recursive, so a pattern of many stars
// cannot blow the stack.
bool matchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  size_t p = 0, n = 0;
  size_t starAt = std::u16string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {  // before the literal test: "*" may be in the name
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p, ++n;
    } else if (starAt != std::u16string_view::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::vector<std::u16string> splitPatternList(std::u16string_view list) {
  std::vector<std::u16string> patterns;
  size_t start = 0;
  for (size_t semicolon; (semicolon = list.find(u';', start)) != std::u16string_view::npos; start = semicolon + 1) {
    patterns.emplace_back(list.substr(start, semicolon - start));
  }
  patterns.emplace_back(list.substr(start));
  return patterns;
}

bool matchesAnyWildcard(const std::vector<std::u16string>& patterns, std::u16string_view name) {
  for (const std::u16string& pattern : patterns) {
    if (matchesWildcard(pattern, name)) return true;
  }
  return false;
}

}  // namespace vexil::objects::files
