#pragma once
// The name patterns of a folder's file listing: "?" stands for any one character and "*" for any
// run, including none; letter case counts. A list holds several patterns separated by ";".
#include <string>
#include <string_view>
#include <vector>

namespace vexil::objects::files {

// True when the whole name matches the pattern.
bool matchesWildcard(std::u16string_view pattern, std::u16string_view name);

// The patterns of a list, split at every ";" (empty pieces kept: they match only an empty name).
std::vector<std::u16string> splitPatternList(std::u16string_view list);

// True when the name matches at least one of the patterns.
bool matchesAnyWildcard(const std::vector<std::u16string>& patterns, std::u16string_view name);

}  // namespace vexil::objects::files
