#pragma once
// Paths as the file system sees them: the absolute form of a script path with every component in
// the letter case stored on disk, and whether two paths name one entry. Wide text throughout, so
// names the ANSI code page cannot hold (Japanese, emoji) survive.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexil::objects::files {

// The absolute path of a script path (from the current folder), with "\" separators and without a
// trailing one unless it is a drive root; nothing when the path is refused or would not fit the
// system's 260-unit buffer.
std::optional<std::wstring> absolutePath(std::u16string_view scriptPath);

// The stored form of folders already normalised, found by their path in any letter case: a later
// path in the same folder needs one search instead of one per component. Letter case is all an
// old entry could get wrong (a folder another program gave other letters), and the system's
// paths ignore it, so an entry never leads anywhere else.
class StoredCaseCache {
 public:
  const std::wstring* find(std::wstring_view folder) const;
  void remember(std::wstring_view folder, std::wstring stored);
  void clear() { entries_.clear(); }

 private:
  static constexpr size_t kMaxEntries = 4096;
  std::unordered_map<std::wstring, std::wstring> entries_;
};

// The path with its drive letter upper-cased and every existing component replaced by the name
// the file system reports for it, so letter case and long names come out as stored. With a cache,
// its parent folder's stored form is taken from there when known, and remembered otherwise.
std::wstring storedCase(std::wstring_view absolute, StoredCaseCache* cache = nullptr);

// True when both paths name one existing entry (same volume and file index), whatever names lead
// to it: another letter case, a short name, a second hard link.
bool isSameEntry(const std::wstring& a, const std::wstring& b);

// True when `inner` is `outer` or lies below it, compared without regard to letter case.
bool isWithinFolder(std::wstring_view inner, std::wstring_view outer);

// The attributes of a path, or INVALID_FILE_ATTRIBUTES.
unsigned long attributesOf(const std::wstring& path);
bool isFolderPath(const std::wstring& path);
// True when the path is an existing entry marked read-only: a copy never writes over it (some
// systems' CopyFile would).
bool isReadOnlyPath(const std::wstring& path);

// FindFirstFile with its failure as null, for the owner. (The "basic" search without short names
// measured slower under Wine, not faster.)
HANDLE findFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry);

// parent + "\" + name; nothing when the result would not fit the 260-unit buffer.
std::optional<std::wstring> joinPath(std::wstring_view parent, std::wstring_view name);

// Keeps the system's "insert a disk" box away while drives are asked about: an empty drive then
// simply fails.
class QuietDriveErrors {
 public:
  QuietDriveErrors();
  ~QuietDriveErrors();
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  unsigned previous_;
};

}  // namespace vexil::objects::files
