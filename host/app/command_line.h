#pragma once
// How the first command-line argument picks what a run does.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::app {

inline constexpr const char* kInstallArgument = "-setdefault";

enum class RunMode {
  Install,     // "-setdefault": become the current user's screensaver
  Configure,   // no argument, or "c": the settings dialog
  Preview,     // "p" and a window handle: draw inside that window
  FullScreen,  // "s"
  Exit,        // anything else
};

// After one leading "-" or "/", the argument equals the name, or begins with it (case-insensitive
// both ways), so /c, -C, /c:1234 and cfg all match "c".
bool switchMatches(std::string_view argument, std::string_view name);

RunMode chooseRunMode(const std::vector<std::string>& arguments);

// The preview's parent window from the second argument, read as atol reads it; nothing without
// a second argument.
std::optional<long> previewParent(const std::vector<std::string>& arguments);

// The settings dialog's owner window: the number after "c:" in the first argument ("/c:1234"), or
// the second argument ("/c 1234"); nothing (the dialog owns itself) without one or when it is 0.
std::optional<long> configureOwner(const std::vector<std::string>& arguments);

}  // namespace vexil::app
