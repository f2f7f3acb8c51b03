#include "host/app/error_log.h"

#include <ctime>
#include <optional>
#include <string>

#include "platform/environment.h"
#include "platform/file_system.h"

namespace vexil::app {
namespace {

std::optional<std::string> dataFolder() {
  for (const char* name : {"LOCALAPPDATA", "APPDATA", "TEMP"}) {
    auto folder = platform::environmentVariable(name);
    if (folder && !folder->empty() && platform::directoryExists(*folder)) return folder;
  }
  return std::nullopt;
}

std::string localTimeText() {
  std::time_t now = std::time(nullptr);
  char text[32] = {};
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

}  // namespace

std::unique_ptr<package::RunLog> openErrorLog(const package::AppIdentity& identity, std::string_view runSwitch) {
  auto base = dataFolder();
  if (!base) return nullptr;
  std::string path = *base;
  if (path.back() != '\\') path += '\\';
  std::string relative = package::logRelativePath(identity.registryKey, identity.profileName);
  // Every folder on the way, then the file's name.
  for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1)) {
    if (!platform::createDirectory(path + relative.substr(0, at))) return nullptr;
  }
  std::string title = localTimeText() + " " + identity.profileName;
  if (!runSwitch.empty()) title += " " + std::string(runSwitch);
  return std::make_unique<package::RunLog>(path + relative, std::move(title));
}

}  // namespace vexil::app
