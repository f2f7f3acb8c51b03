#pragma once
// The main window's player's Base property: the URL relative paths of the movie resolve against.
#include <optional>
#include <string>

namespace vexil::hostobjects {

// Nothing when there is no player or it has no base.
std::optional<std::string> playerBase();
// False when there is no player or it refuses the value.
bool setPlayerBase(const std::string& url);
// The Base URL for a directory: "file:///", the path with "/" separators, a trailing "/".
std::string baseUrlFor(std::string directory);

}  // namespace vexil::hostobjects
