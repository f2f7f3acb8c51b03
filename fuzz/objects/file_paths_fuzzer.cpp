// The path rules and name patterns of Folder/File on arbitrary UTF-16 text: names read from a
// disk are outside input to the pattern matcher, and script paths reach the rules unchecked.
// Input: UTF-16 units; a 0xFFFF unit (or the middle) splits it into pattern and name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objects/files/file_paths.h"
#include "objects/files/wildcard_pattern.h"

using namespace vexil::objects::files;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
  size_t split = text.find(char16_t(0xFFFF));
  if (split == std::u16string::npos) split = text.size() / 2;
  std::u16string_view pattern = std::u16string_view(text).substr(0, split);
  std::u16string_view name = std::u16string_view(text).substr(split < text.size() ? split + 1 : split);

  bool matched = matchesWildcard(pattern, name);
  if (!pattern.empty() && pattern.find_first_not_of(u'*') == std::u16string_view::npos && !matched) std::abort();
  if (pattern == name && pattern.find_first_of(u"*?") == std::u16string_view::npos && !matched) std::abort();
  matchesAnyWildcard(splitPatternList(pattern), name);

  bool acceptable = isAcceptablePath(text);
  if (acceptable && text.size() > kMaxPathUnits) std::abort();
  if (isAcceptableNewName(text) && (!acceptable || text.find_first_of(u"\\/:") != std::u16string::npos)) std::abort();
  std::u16string separated = withBackslashes(text);
  if (separated.find(u'/') != std::u16string::npos) std::abort();
  if (rootLength(separated) > separated.size()) std::abort();
  for (std::u16string_view part : componentsAfterRoot(separated)) {
    if (part.empty() || part.find(u'\\') != std::u16string_view::npos) std::abort();
  }
  if (parentPathOf(separated).size() > separated.size() || nameOf(separated).size() > separated.size()) std::abort();
  if (driveOf(separated).size() > 2 || withoutTrailingSeparator(separated).size() + 1 < separated.size()) std::abort();
  if (isRootPath(separated) && rootLength(separated) != separated.size()) std::abort();
  char16_t letter = driveLetterOf(text);
  if (letter && (letter < u'A' || letter > u'Z')) std::abort();
  return 0;
}
