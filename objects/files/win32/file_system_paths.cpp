#include "objects/files/win32/file_system_paths.h"

#include <windows.h>

#include <algorithm>

#include "objects/files/file_paths.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::objects::files {
namespace {

using platform::asUtf16;
using platform::asWide;

struct EntryIdentity {
  DWORD volume;
  DWORD indexHigh;
  DWORD indexLow;
};

std::optional<EntryIdentity> identityOf(const std::wstring& path) {
  // No access rights are asked for: enough to read the identity, and never refused by a share mode.
  platform::UniqueKernelHandle file(platform::validHandleOrNull(
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return EntryIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

wchar_t foldCase(wchar_t c) { return wchar_t(uintptr_t(CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(c))))); }

}  // namespace

std::optional<std::wstring> absolutePath(std::u16string_view scriptPath) {
  if (!isAcceptablePath(scriptPath)) return std::nullopt;
  std::wstring given(asWide(scriptPath));
  wchar_t buffer[MAX_PATH];
  DWORD length = GetFullPathNameW(given.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  std::u16string full = withBackslashes(asUtf16(std::wstring_view(buffer, length)));
  return std::wstring(asWide(withoutTrailingSeparator(full)));
}

std::wstring storedCase(std::wstring_view absolute) {
  size_t root = rootLength(asUtf16(absolute));
  if (root == 0) return std::wstring(absolute);
  std::wstring out(absolute.substr(0, root));
  if (root == 3) out[0] = foldCase(out[0]);
  bool found = true;
  WIN32_FIND_DATAW entry;
  for (std::u16string_view part : componentsAfterRoot(asUtf16(absolute))) {
    if (out.back() != L'\\') out += L'\\';
    std::wstring_view component = asWide(part);
    if (found) {
      platform::UniqueFindHandle search(findFirst(out + std::wstring(component), &entry));
      // A component that does not exist ends the correction: nothing below it can exist either.
      found = bool(search);
      if (found) component = entry.cFileName;
    }
    out += component;
  }
  return out;
}

std::optional<std::wstring> normalisedPath(std::u16string_view scriptPath) {
  std::optional<std::wstring> absolute = absolutePath(scriptPath);
  if (!absolute) return std::nullopt;
  std::wstring stored = storedCase(*absolute);
  if (stored.size() > kMaxPathUnits) return std::nullopt;
  return stored;
}

bool isSameEntry(const std::wstring& a, const std::wstring& b) {
  std::optional<EntryIdentity> first = identityOf(a);
  std::optional<EntryIdentity> second = first ? identityOf(b) : std::nullopt;
  return second && first->volume == second->volume && first->indexHigh == second->indexHigh &&
         first->indexLow == second->indexLow;
}

bool isWithinFolder(std::wstring_view inner, std::wstring_view outer) {
  if (outer.empty() || inner.size() < outer.size()) return false;
  bool prefix = std::equal(outer.begin(), outer.end(), inner.begin(),
                           [](wchar_t x, wchar_t y) { return foldCase(x) == foldCase(y); });
  return prefix && (inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\');
}

unsigned long attributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool isFolderPath(const std::wstring& path) {
  DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isReadOnlyPath(const std::wstring& path) {
  DWORD attributes = attributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

HANDLE findFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) {
  return platform::validHandleOrNull(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, entry, FindExSearchNameMatch,
                                                      nullptr, FIND_FIRST_EX_LARGE_FETCH));
}

std::optional<std::wstring> joinPath(std::wstring_view parent, std::wstring_view name) {
  std::wstring joined(parent);
  if (joined.empty() || joined.back() != L'\\') joined += L'\\';
  joined += name;
  if (joined.size() > kMaxPathUnits) return std::nullopt;
  return joined;
}

QuietDriveErrors::QuietDriveErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
  SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
}

QuietDriveErrors::~QuietDriveErrors() { SetErrorMode(previous_); }

}  // namespace vexil::objects::files
