// Win32 parts of StdioFile: wide-character opening, the temporary file as a handle created
// exclusively with delete-on-close and wrapped in a C runtime stream, and the length and size of
// the handle behind the stream.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <string>

#include "platform/environment.h"
#include "platform/stdio_file.h"
#include "platform/win32/wide_text.h"

namespace vexil::platform {

namespace {

HANDLE handleOf(FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

std::wstring temporaryDirectory() {
  wchar_t buffer[MAX_PATH + 2];
  DWORD n = GetTempPathW(DWORD(std::size(buffer)), buffer);
  if (n == 0 || n >= std::size(buffer)) return toWide(windowsDirectory() + "\\");
  return std::wstring(buffer, n);
}

// A fresh name each time; CREATE_NEW refuses one that exists, so a clash only costs another try.
HANDLE createTemporaryHandle() {
  std::wstring dir = temporaryDirectory();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::wstring path = dir + toWide("vx" + newGuidText() + ".tmp");
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

StdioFile StdioFile::open(std::string_view path, std::string_view mode) {
  if (!isValidMode(mode)) return StdioFile();
  std::wstring wideMode(mode.begin(), mode.end());
  return StdioFile(_wfopen(toWide(path).c_str(), wideMode.c_str()));
}

StdioFile StdioFile::openTemporary() {
  HANDLE h = createTemporaryHandle();
  if (h == INVALID_HANDLE_VALUE) return StdioFile();
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    return StdioFile();
  }
  FILE* file = _fdopen(fd, "w+b");
  if (!file) _close(fd);
  return StdioFile(file);
}

int64_t StdioFile::descriptorLength() const {
  LARGE_INTEGER size;
  return GetFileSizeEx(handleOf(file_), &size) ? int64_t(size.QuadPart) : -1;
}

// The caller re-seeks the stream afterwards, which also moves the handle's pointer back.
bool StdioFile::descriptorTruncate(int64_t size) {
  HANDLE h = handleOf(file_);
  LARGE_INTEGER to;
  to.QuadPart = size;
  return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) && SetEndOfFile(h);
}

}  // namespace vexil::platform
