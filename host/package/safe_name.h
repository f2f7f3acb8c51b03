#pragma once
// Names read from package data become files under the temporary directory. A name that could
// leave that directory (an absolute path, a drive letter, a ".." component) is refused.
#include <string_view>

namespace vexil::package {

// A relative path of one or more components separated by backslashes or slashes; no component
// is empty, made only of dots and spaces, or holds a colon or a control character.
bool isSafeRelativeName(std::string_view name);
// A single component: a safe relative name without separators.
bool isSafeFileName(std::string_view name);

// Paths the runtime records are limited to what a Windows path buffer holds.
inline constexpr size_t kMaxPathLength = 259;

}  // namespace vexil::package
