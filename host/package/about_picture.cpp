#include "host/package/about_picture.h"

#include "platform/file_system.h"

namespace vexil::package {

std::string extractAboutPicture(const ResourceSource& source, const std::string& tempDir) {
  std::string target = tempDir + "Lumarc.BK";
  if (platform::fileExists(target)) return target;
  auto bytes = decodeResource(source, "BK", "LUMARC");
  if (!bytes || !platform::writeWholeFile(target, bytes->data(), bytes->size())) return {};
  return target;
}

}  // namespace vexil::package
