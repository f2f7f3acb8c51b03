#pragma once
// DataFile's two walks over script values: a save turns named globals into profile sections and
// replaces those variables' sections in the file in one write; a load applies each variable of a
// file to the globals only when every one of its sections parses, so a damaged file or a file
// written by something else never leaves half a variable behind.
#include <string>
#include <string_view>
#include <vector>

#include "objects/datafile/profile_text.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::datafile {

// Files above this size are not read: no profile DataFile writes comes near it.
inline constexpr int64_t kMaxFileBytes = 16 * 1024 * 1024;
// Deeper nesting than this is refused on save (and so never met on load).
inline constexpr size_t kMaxDepth = 256;

// The sections of one global, appended to out; false (out unchanged) when the variable cannot be
// written whole.
bool variableSections(script::Engine& engine, std::u16string_view name, std::vector<ProfileSection>& out);
// Saves the variables, replacing each one's sections from earlier saves; false when any variable
// was refused or the file could not be read or written (nothing is written then unless some
// variables could be: the others are still saved).
bool saveVariables(script::Engine& engine, const std::string& path, const std::vector<std::u16string>& names);

// The file's contents, or none when it cannot be read or is larger than kMaxFileBytes.
std::optional<std::vector<uint8_t>> readProfileFile(const std::string& path);
// Applies the sections to the globals, each variable whole or not at all.
void applySections(script::Engine& engine, const std::vector<ProfileSection>& sections);
bool loadVariables(script::Engine& engine, const std::string& path);

// A variable's first name piece: the global a section belongs to.
std::u16string_view variableOf(std::u16string_view sectionName);

}  // namespace vexil::objects::datafile
