#include "host/package/temp_directory.h"

#include "platform/environment.h"
#include "platform/file_system.h"

namespace vexil::package {

// A variable is usable when it is set and shorter than a Windows path buffer.
static std::optional<std::string> usableBase(const char* variable) {
  auto value = platform::environmentVariable(variable);
  if (!value || value->empty() || value->size() >= 260) return std::nullopt;
  return value;
}

std::string tempDirectoryPath() {
  std::string base = usableBase("TMP").value_or(usableBase("TEMP").value_or(platform::windowsDirectory()));
  if (!base.empty() && base.back() == '/') base.back() = '\\';
  if (base.empty() || base.back() != '\\') base += '\\';
  return base + platform::newGuidText() + '\\';
}

std::optional<std::string> createTempDirectory() {
  std::string path = tempDirectoryPath();
  if (platform::directoryExists(path) || !platform::createDirectory(path)) return std::nullopt;
  return path;
}

bool deleteTempDirectory(const std::string& path) { return platform::deleteTree(path); }

}  // namespace vexil::package
