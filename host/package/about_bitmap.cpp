#include <windows.h>

#include "host/package/about_picture.h"
#include "platform/win32/wide_text.h"

namespace vexil::package {

void* loadAboutPicture(const ResourceSource& source, const std::string& tempDir) {
  std::string path = extractAboutPicture(source, tempDir);
  if (path.empty()) return nullptr;
  return LoadImageW(nullptr, platform::toWide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
}

}  // namespace vexil::package
