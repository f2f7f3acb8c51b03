#pragma once
// The path rules of File, Folder and Drive that need no file system: which texts a script may name
// at all, how a normalised path is split into drive, parent and name, and where its root ends.
// Paths are UTF-16, as scripts hold them and as the wide Win32 calls take them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::objects::files {

// The longest path the classes take: the 260-unit buffer of the system's calls less its
// terminator. Longer paths are refused, never cut and used.
inline constexpr size_t kMaxPathUnits = 259;

inline bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The path with every "/" turned into "\".
std::u16string withBackslashes(std::u16string_view path);

// The units of the root: 3 for "X:\", the length of "\\server\share\" (or "\\server\share" at the
// end) for a network path, 0 for anything else.
size_t rootLength(std::u16string_view path);
// "X:\" exactly: a drive root, which keeps its trailing "\".
bool isDriveRoot(std::u16string_view path);
// A drive root, or a network share with nothing after it.
bool isRootPath(std::u16string_view path);
// Without one trailing "\" or "/", unless it is a drive root.
std::u16string_view withoutTrailingSeparator(std::u16string_view path);

// "X:" of "X:\..."; empty for a network path.
std::u16string_view driveOf(std::u16string_view path);
// Up to, not including, the last "\" ("C:" for "C:\x").
std::u16string_view parentPathOf(std::u16string_view path);
// After the last "\" (empty for a root).
std::u16string_view nameOf(std::u16string_view path);

// The components after the root, in order (empty ones dropped).
std::vector<std::u16string_view> componentsAfterRoot(std::u16string_view path);

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (with any extension, any case): names that open a device
// instead of a file.
bool isDeviceName(std::u16string_view component);
// A component of only dots and spaces other than "." and "..": the system trims it away and the
// call would reach the folder above.
bool isDotsAndSpaces(std::u16string_view component);

// A path a script may name: not empty, at most kMaxPathUnits, no wildcards or other characters a
// name cannot hold, no device names or dots-and-spaces components, no "\\?\" or "\\.\" prefix,
// and a colon only after a drive letter.
bool isAcceptablePath(std::u16string_view path);
// A new name for an entry of the same folder: an acceptable path of one component, so no "\", "/",
// ":" and neither "." nor "..", which would move the entry out of its folder.
bool isAcceptableNewName(std::u16string_view name);

// The upper-cased letter of a string that starts with a letter and a colon; 0 otherwise. Reads
// only the units the string has, so a one-character string is safe.
char16_t driveLetterOf(std::u16string_view text);

}  // namespace vexil::objects::files
