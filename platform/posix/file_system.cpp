// POSIX file services. Windows-form paths arrive here and are mapped by nativePath.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "platform/file_system.h"
#include "platform/posix/native_path.h"
#include "platform/text_encoding.h"

namespace vexil::platform {

bool fileExists(std::string_view path) {
  struct stat st;
  return ::stat(nativePath(path).c_str(), &st) == 0;
}

bool directoryExists(std::string_view path) {
  struct stat st;
  return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createDirectory(std::string_view path) {
  std::string p = nativePath(path);
  return ::mkdir(p.c_str(), 0700) == 0 || directoryExists(path);
}

bool deleteFile(std::string_view path) { return ::unlink(nativePath(path).c_str()) == 0; }

static bool deleteNativeTree(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      std::string child = dir + "/" + name;
      struct stat st;
      if (::lstat(child.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        deleteNativeTree(child);
      } else {
        ::unlink(child.c_str());
      }
    }
    ::closedir(d);
  }
  return ::rmdir(dir.c_str()) == 0;
}

bool deleteTree(std::string_view path) {
  std::string p = nativePath(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return deleteNativeTree(p);
}

File File::open(std::string_view path, Mode mode) {
  File file;
  file.handle_ = std::fopen(nativePath(path).c_str(), mode == Mode::Read ? "rb" : "wb");
  return file;
}

std::string executablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return utf16ToAnsi(utf8ToUtf16(std::string_view(buffer, size_t(n))));
}

}  // namespace vexil::platform
