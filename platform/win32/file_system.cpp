#include <windows.h>

#include <cstdio>

#include "platform/file_system.h"
#include "platform/win32/wide_text.h"

namespace vexil::platform {

bool fileExists(std::string_view path) {
  return GetFileAttributesW(toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool directoryExists(std::string_view path) {
  DWORD attributes = GetFileAttributesW(toWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createDirectory(std::string_view path) {
  return CreateDirectoryW(toWide(path).c_str(), nullptr) || directoryExists(path);
}

bool deleteFile(std::string_view path) { return DeleteFileW(toWide(path).c_str()) != 0; }

static bool deleteWideTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"\\*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link to somewhere else: remove the link, never what it points to.
        if (!RemoveDirectoryW(child.c_str())) DeleteFileW(child.c_str());
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        deleteWideTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(dir.c_str()) != 0;
}

bool deleteTree(std::string_view path) {
  std::wstring p = toWide(path);
  while (p.size() > 3 && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
  return deleteWideTree(p);
}

File File::open(std::string_view path, Mode mode) {
  File file;
  file.handle_ = _wfopen(toWide(path).c_str(), mode == Mode::Read ? L"rb" : L"wb");
  return file;
}

std::string executablePath() {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
  return utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
}

}  // namespace vexil::platform
