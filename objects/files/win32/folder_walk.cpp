#include "objects/files/win32/folder_walk.h"

#include <windows.h>

#include <optional>

#include "objects/files/win32/file_system_paths.h"
#include "platform/win32/unique_handle.h"

namespace vexil::objects::files {
namespace {

bool isDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool isFolderEntry(const WIN32_FIND_DATAW& entry) { return entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }
bool isReparsePoint(const WIN32_FIND_DATAW& entry) {
  return entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
}

// Calls visit(entry) for every entry but "." and ".."; false when the folder cannot be read or
// visit answers false.
template <typename Visit>
bool walkFolder(const std::wstring& folder, Visit&& visit) {
  std::optional<std::wstring> pattern = joinPath(folder, L"*");
  if (!pattern) return false;
  WIN32_FIND_DATAW entry;
  platform::UniqueFindHandle search(findFirst(*pattern, &entry));
  if (!search) return false;
  do {
    if (!isDotEntry(entry.cFileName) && !visit(entry)) return false;
  } while (FindNextFileW(search.get(), &entry));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

bool copyEntry(const std::wstring& source, const std::wstring& destination, const WIN32_FIND_DATAW& entry) {
  std::optional<std::wstring> from = joinPath(source, entry.cFileName);
  std::optional<std::wstring> to = joinPath(destination, entry.cFileName);
  if (!from || !to) return false;
  if (!isFolderEntry(entry)) return copyFile(*from, *to);
  if (isReparsePoint(entry)) return true;
  if (!CreateDirectoryW(to->c_str(), nullptr) && !isFolderPath(*to)) return false;
  return copyTree(*from, *to);
}

}  // namespace

void forEachEntry(const std::wstring& folder, EntryKind kind, const std::function<void(std::wstring_view)>& visit) {
  bool wantFolders = kind == EntryKind::Folders;
  walkFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (isFolderEntry(entry) == wantFolders) visit(entry.cFileName);
    return true;
  });
}

uint64_t folderBytes(const std::wstring& folder) {
  uint64_t total = 0;
  walkFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (!isFolderEntry(entry)) {
      total += (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    } else if (!isReparsePoint(entry)) {
      if (std::optional<std::wstring> below = joinPath(folder, entry.cFileName)) total += folderBytes(*below);
    }
    return true;
  });
  return total;
}

bool copyFile(const std::wstring& source, const std::wstring& destination) {
  return !isReadOnlyPath(destination) && CopyFileW(source.c_str(), destination.c_str(), FALSE);
}

bool copyTree(const std::wstring& source, const std::wstring& destination) {
  return walkFolder(source, [&](const WIN32_FIND_DATAW& entry) { return copyEntry(source, destination, entry); });
}

}  // namespace vexil::objects::files
