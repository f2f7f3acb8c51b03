#pragma once
// The private directory of one run: TMP, else TEMP, else the Windows directory, plus a fresh
// GUID in braces. Every unpacked file goes there and it is removed whole at exit.
#include <optional>
#include <string>

namespace vexil::package {

// The directory to create, ending in a separator; computed, not created.
std::string tempDirectoryPath();
// Creates a fresh temporary directory and returns its path (ending in a backslash).
std::optional<std::string> createTempDirectory();
// Removes the directory and everything in it.
bool deleteTempDirectory(const std::string& path);

}  // namespace vexil::package
