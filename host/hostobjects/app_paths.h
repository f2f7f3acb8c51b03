#pragma once
// The places the application's script objects name: the executable, its directory, the first
// movie's directory, the additional files and their directory.
#include <optional>
#include <string>

namespace vexil::hostobjects {

std::string executableFile();
// The executable's directory with a trailing backslash.
std::string applicationDirectory();
// The directory of the first movie of the movie list (kind 1); nothing when there is none.
std::optional<std::string> firstMovieDirectory();
// Where additional files are extracted: temp directory + "_extra\" when the executable carries an
// archive, else the executable's directory. The directory is created; nothing when that fails.
std::optional<std::string> attachmentsDirectory();
// The local path of an additional file, or the empty text.
std::string additionalFile(const std::string& name);

}  // namespace vexil::hostobjects
