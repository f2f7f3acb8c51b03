#include "host/app/command_line.h"

#include <cstdlib>

#include "host/package/text_item.h"
#include "platform/text_case.h"

namespace vexil::app {
namespace {

struct Switch {
  const char* name;
  RunMode mode;
};

// Tried in this order; the first match decides.
constexpr Switch kSwitches[] = {
    {"c", RunMode::Configure},
    {"p", RunMode::Preview},
    {"s", RunMode::FullScreen},
};

constexpr size_t kLongestSwitchName = 255;

}  // namespace

bool switchMatches(std::string_view argument, std::string_view name) {
  if (!argument.empty() && (argument[0] == '-' || argument[0] == '/')) argument.remove_prefix(1);
  if (platform::equalsIgnoringAsciiCase(argument, name)) return true;
  return argument.size() > name.size() && name.size() < kLongestSwitchName &&
         platform::equalsIgnoringAsciiCase(argument.substr(0, name.size()), name);
}

RunMode chooseRunMode(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return RunMode::Configure;
  const std::string& first = arguments.front();
  if (platform::equalsIgnoringAsciiCase(first, kInstallArgument)) return RunMode::Install;
  for (const Switch& s : kSwitches) {
    if (switchMatches(first, s.name)) return s.mode;
  }
  return RunMode::Exit;
}

std::optional<long> previewParent(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) return std::nullopt;
  return std::atol(arguments[1].c_str());
}

std::optional<long> configureOwner(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  size_t colon = arguments[0].find(':');
  long owner = 0;
  if (colon != std::string::npos) {
    owner = std::atol(arguments[0].c_str() + colon + 1);
  } else if (arguments.size() > 1) {
    owner = std::atol(arguments[1].c_str());
  }
  if (owner == 0) return std::nullopt;
  return owner;
}

}  // namespace vexil::app
