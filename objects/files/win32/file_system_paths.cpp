#include "objects/files/win32/file_system_paths.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

#include "objects/files/file_paths.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::objects::files {
namespace {

using platform::asUtf16;
using platform::asWide;

// An entry's number on its volume, read without the volume's own description, which some systems
// assemble afresh at every ask (a millisecond or more under Wine).
std::optional<int64_t> entryNumber(HANDLE file) {
  IO_STATUS_BLOCK status;
  FILE_INTERNAL_INFORMATION info;
  if (!NT_SUCCESS(NtQueryInformationFile(file, &status, &info, sizeof info, FileInternalInformation))) {
    return std::nullopt;
  }
  return info.IndexNumber.QuadPart;
}

// Opens an entry asking for no access rights: enough to identify it, and never refused by a
// share mode.
platform::UniqueKernelHandle openToIdentify(const std::wstring& path) {
  return platform::UniqueKernelHandle(platform::validHandleOrNull(
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
}

bool onSameVolume(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber;
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

std::wstring caselessKey(std::wstring_view path) {
  std::wstring key(path);
  if (!key.empty()) CharUpperBuffW(key.data(), DWORD(key.size()));
  return key;
}

const std::wstring* StoredCaseCache::find(std::wstring_view folder) const {
  auto found = entries_.find(caselessKey(folder));
  return found == entries_.end() ? nullptr : &found->second;
}

void StoredCaseCache::remember(std::wstring_view folder, std::wstring stored) {
  if (entries_.size() >= kMaxEntries) entries_.clear();
  entries_.insert_or_assign(caselessKey(folder), std::move(stored));
}

namespace {

// Appends the component as the file system stores it (as given when it does not exist); false
// when it does not exist.
bool appendStored(std::wstring& out, std::wstring_view component) {
  if (out.back() != L'\\') out += L'\\';
  WIN32_FIND_DATAW entry;
  platform::UniqueFindHandle search(findFirst(out + std::wstring(component), &entry));
  out += search ? std::wstring_view(entry.cFileName) : component;
  return bool(search);
}

}  // namespace

std::wstring storedCase(std::wstring_view absolute, StoredCaseCache* cache) {
  size_t root = rootLength(asUtf16(absolute));
  if (root == 0 || root >= absolute.size()) {
    std::wstring out(absolute);
    if (root == 3) out[0] = foldCase(out[0]);
    return out;
  }
  std::wstring_view parent = asWide(parentPathOf(asUtf16(absolute)));
  std::wstring_view name = asWide(nameOf(asUtf16(absolute)));
  if (const std::wstring* known = cache ? cache->find(parent) : nullptr) {
    std::wstring out = *known;
    appendStored(out, name);
    return out;
  }
  std::wstring out(absolute.substr(0, root));
  if (root == 3) out[0] = foldCase(out[0]);
  // A component that does not exist ends the searches: nothing below it can exist either.
  bool found = true;
  std::vector<std::u16string_view> parts = componentsAfterRoot(asUtf16(absolute));
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i + 1 == parts.size() && found && cache) cache->remember(parent, out);
    if (found) {
      found = appendStored(out, asWide(parts[i]));
    } else {
      if (out.back() != L'\\') out += L'\\';
      out += asWide(parts[i]);
    }
  }
  return out;
}

namespace {

// Size and times, which one entry reached by two names shows alike under both.
bool haveSameRecord(const std::wstring& a, const std::wstring& b) {
  WIN32_FILE_ATTRIBUTE_DATA first, second;
  if (!GetFileAttributesExW(a.c_str(), GetFileExInfoStandard, &first) ||
      !GetFileAttributesExW(b.c_str(), GetFileExInfoStandard, &second)) {
    return false;
  }
  auto same = [](const FILETIME& x, const FILETIME& y) {
    return x.dwLowDateTime == y.dwLowDateTime && x.dwHighDateTime == y.dwHighDateTime;
  };
  return first.nFileSizeLow == second.nFileSizeLow && first.nFileSizeHigh == second.nFileSizeHigh &&
         first.dwFileAttributes == second.dwFileAttributes && same(first.ftCreationTime, second.ftCreationTime) &&
         same(first.ftLastWriteTime, second.ftLastWriteTime);
}

}  // namespace

// The identity is asked only of entries whose records agree: opening both costs far more than
// reading their records, and most destinations differ from their source in size or times.
bool isSameEntry(const std::wstring& a, const std::wstring& b) {
  if (!haveSameRecord(a, b)) return false;
  platform::UniqueKernelHandle first = openToIdentify(a), second = openToIdentify(b);
  std::optional<int64_t> firstNumber = first ? entryNumber(first.get()) : std::nullopt;
  std::optional<int64_t> secondNumber = second ? entryNumber(second.get()) : std::nullopt;
  if (!firstNumber || firstNumber != secondNumber) return false;
  // One root is one volume; two roots (a second letter for one drive) ask the volumes.
  std::u16string_view rootA = asUtf16(a).substr(0, rootLength(asUtf16(a)));
  std::u16string_view rootB = asUtf16(b).substr(0, rootLength(asUtf16(b)));
  bool sameRoot = !rootA.empty() && isWithinFolder(asWide(rootA), asWide(rootB)) && rootA.size() == rootB.size();
  return sameRoot || onSameVolume(first.get(), second.get());
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
  return platform::validHandleOrNull(FindFirstFileW(pattern.c_str(), entry));
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
