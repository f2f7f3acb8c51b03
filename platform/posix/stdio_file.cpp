// POSIX parts of StdioFile: paths through nativePath, the temporary file from tmpfile (already
// unlinked, so it goes away with its last descriptor), and the descriptor's length and size.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/posix/native_path.h"
#include "platform/stdio_file.h"

namespace vexil::platform {

StdioFile StdioFile::open(std::string_view path, std::string_view mode) {
  if (!isValidMode(mode)) return StdioFile();
  return StdioFile(std::fopen(nativePath(path).c_str(), std::string(mode).c_str()));
}

StdioFile StdioFile::openTemporary() { return StdioFile(std::tmpfile()); }

int64_t StdioFile::descriptorLength() const {
  struct stat st;
  return ::fstat(fileno(file_), &st) == 0 ? int64_t(st.st_size) : -1;
}

bool StdioFile::descriptorTruncate(int64_t size) { return ::ftruncate(fileno(file_), off_t(size)) == 0; }

}  // namespace vexil::platform
