// Folder and File: one class under two names, over a path fixed when the object is made. Every
// call is a wide one, so a name the ANSI code page cannot hold is listed, opened, copied and
// deleted as the script received it. Failures answer values (null, false, NaN, ""), never errors.
#include <windows.h>

#include <memory>

#include "objects/files/file_paths.h"
#include "objects/files/file_times.h"
#include "objects/files/wildcard_pattern.h"
#include "objects/files/win32/disk_space.h"
#include "objects/files/win32/file_classes.h"
#include "objects/files/win32/file_system_paths.h"
#include "objects/files/win32/folder_walk.h"
#include "objects/files/win32/script_values.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/host_class.h"
#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::files {
namespace {

using platform::asUtf16;
using platform::asWide;
using script::HostCall;
using script::Value;

// The normalised full path, and whether it named a folder when the object was made (not
// refreshed later).
struct PathEntry {
  std::wstring path;
  bool folder;
};

const PathEntry& entryOf(const HostCall& call) { return *call.instance<PathEntry>(); }

// Once per engine: the stored form of folders met so far. Our own renames, moves and removals
// forget it all, so nothing this engine changed is answered from it.
struct FolderState {
  StoredCaseCache storedCase;
};

StoredCaseCache& storedCaseCache(const HostCall& call) { return call.state<FolderState>()->storedCase; }

// The script's path argument i in absolute form, or nothing.
std::optional<std::wstring> absoluteArgument(const HostCall& call, uint32_t i) {
  std::optional<std::u16string> given = call.args.text(i);
  return given ? absolutePath(*given) : std::nullopt;
}

// --- construction ---

// A path that does not exist is made a folder first, whichever name the class was reached by.
void construct(HostCall& call) {
  call.result->setNull();
  std::optional<std::wstring> absolute = absoluteArgument(call, 1);
  if (!absolute) return;
  DWORD attributes = attributesOf(*absolute);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (!CreateDirectoryW(absolute->c_str(), nullptr)) return;
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  }
  std::wstring stored = storedCase(*absolute, &storedCaseCache(call));
  if (stored.size() > kMaxPathUnits) return;
  bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
  call.publish(std::make_unique<PathEntry>(PathEntry{std::move(stored), folder}));
}

// --- methods ---

void exists(HostCall& call) {
  std::optional<std::wstring> path = absoluteArgument(call, 1);
  call.result->setBoolean(path && attributesOf(*path) != INVALID_FILE_ATTRIBUTES);
}

// A copy never lands on its own source or inside it: CopyFile onto the same file would empty it,
// and a tree copied into itself never ends. Only a folder has an inside, and only an existing
// destination can be the source under another name (a short name, a second link).
bool isOwnTarget(const HostCall& call, const std::wstring& source, bool folder, const std::wstring& destination) {
  if (folder && isWithinFolder(storedCase(destination, &storedCaseCache(call)), source)) return true;
  return attributesOf(destination) != INVALID_FILE_ATTRIBUTES && isSameEntry(source, destination);
}

bool copyFolder(const std::wstring& source, const std::wstring& destination) {
  if (!CreateDirectoryW(destination.c_str(), nullptr) && !isFolderPath(destination)) return false;
  return copyTree(source, destination);
}

void copy(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  std::optional<std::wstring> destination = absoluteArgument(call, 1);
  bool copied = destination && !isOwnTarget(call, entry.path, entry.folder, *destination) &&
                (entry.folder ? copyFolder(entry.path, *destination)
                              : copyFile(entry.path, *destination));
  call.result->setBoolean(copied);
}

void remove(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  bool removed = entry.folder ? RemoveDirectoryW(entry.path.c_str()) : DeleteFileW(entry.path.c_str());
  if (removed && entry.folder) storedCaseCache(call).clear();
  call.result->setBoolean(removed);
}

// Only a change of letter case may name the entry itself; any other way to it (a short name, a
// second link) or a place inside it is refused.
bool isCaseRename(const std::wstring& source, const std::wstring& destination) {
  return destination != source && destination.size() == source.size() && isWithinFolder(destination, source);
}

void move(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  std::optional<std::wstring> destination = absoluteArgument(call, 1);
  bool moved = destination &&
               (isCaseRename(entry.path, *destination) || !isOwnTarget(call, entry.path, entry.folder, *destination)) &&
               MoveFileW(entry.path.c_str(), destination->c_str());
  if (moved && entry.folder) storedCaseCache(call).clear();
  call.result->setBoolean(moved);
}

std::vector<std::wstring> listing(const PathEntry& entry, EntryKind kind,
                                  const std::vector<std::u16string>* patterns = nullptr) {
  std::vector<std::wstring> paths;
  forEachEntry(entry.path, kind, [&](std::wstring_view name) {
    if (patterns && !matchesAnyWildcard(*patterns, asUtf16(name))) return;
    // An entry whose full path would not fit the buffer cannot be named to any other member.
    if (std::optional<std::wstring> full = joinPath(entry.path, name)) paths.push_back(std::move(*full));
  });
  return paths;
}

// Members that make sense only for folders leave a file object's answer undefined.
void files(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  if (!entry.folder) return;
  const script::ScriptString* list = call.args.string(1);
  std::vector<std::u16string> patterns;
  if (list) patterns = splitPatternList(list->view());
  scriptTextArray(call.engine, listing(entry, EntryKind::Files, list ? &patterns : nullptr), call.result);
}

const script::HostMethodEntry kMethods[] = {
    {"exists", exists, true},
    {"copy", copy},
    {"remove", remove},
    {"move", move},
    {"files", files},
};

// --- properties ---

void getAttributes(HostCall& call) { call.result->setInteger(int32_t(attributesOf(entryOf(call).path))); }

void setAttributes(HostCall& call, const Value& value) {
  std::optional<int64_t> attributes;
  if (value.tag == script::Tag::Integer) attributes = value.integer();
  if (value.tag == script::Tag::Real) attributes = script::realToInt64(value.real());
  if (attributes) SetFileAttributesW(entryOf(call).path.c_str(), DWORD(*attributes));
}

enum class TimeKind { Created, LastAccessed, LastModified };

std::optional<uint64_t> readTime(const PathEntry& entry, TimeKind kind) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(entry.path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  const FILETIME& time = kind == TimeKind::Created        ? data.ftCreationTime
                         : kind == TimeKind::LastAccessed ? data.ftLastAccessTime
                                                          : data.ftLastWriteTime;
  return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A time that cannot be read is NaN for the creation time and false for the others.
template <TimeKind Kind>
void getTime(HostCall& call) {
  std::optional<uint64_t> time = readTime(entryOf(call), Kind);
  if (time) call.result->setInteger(fileTimeToTimeValue(*time));
  else if (Kind == TimeKind::Created) call.result->setNaN();
  else call.result->setBoolean(false);
}

template <TimeKind Kind>
void setTime(HostCall& call, const Value& value) {
  std::optional<double> t = scriptTime(value);
  std::optional<uint64_t> ticks = t ? timeValueToFileTime(*t) : std::nullopt;
  if (!ticks) return;
  const PathEntry& entry = entryOf(call);
  platform::UniqueKernelHandle file(platform::validHandleOrNull(
      CreateFileW(entry.path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, entry.folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr)));
  if (!file) return;
  FILETIME time{DWORD(*ticks), DWORD(*ticks >> 32)};
  SetFileTime(file.get(), Kind == TimeKind::Created ? &time : nullptr,
              Kind == TimeKind::LastAccessed ? &time : nullptr, Kind == TimeKind::LastModified ? &time : nullptr);
}

void getDrive(HostCall& call) { *call.result = scriptText(call.engine, asWide(driveOf(asUtf16(entryOf(call).path)))); }

void getIsRootFolder(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  if (entry.folder) call.result->setBoolean(isRootPath(asUtf16(entry.path)));
}

void getName(HostCall& call) { *call.result = scriptText(call.engine, asWide(nameOf(asUtf16(entryOf(call).path)))); }

// The entry is renamed within its folder; a name that would take it elsewhere is refused.
void setName(HostCall& call, const Value& value) {
  auto* entry = call.instance<PathEntry>();
  if (value.tag != script::Tag::String || isRootPath(asUtf16(entry->path))) return;
  std::u16string_view name = value.string()->view();
  if (!isAcceptableNewName(name)) return;
  std::optional<std::wstring> renamed = joinPath(asWide(parentPathOf(asUtf16(entry->path))), asWide(name));
  if (!renamed || !MoveFileW(entry->path.c_str(), renamed->c_str())) return;
  if (entry->folder) storedCaseCache(call).clear();
  entry->path = storedCase(*renamed, &storedCaseCache(call));
}

void getParentPath(HostCall& call) {
  *call.result = scriptText(call.engine, asWide(parentPathOf(asUtf16(entryOf(call).path))));
}

void getPath(HostCall& call) { *call.result = scriptText(call.engine, entryOf(call).path); }

std::wstring shortPathOf(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

void getShortPath(HostCall& call) { *call.result = scriptText(call.engine, shortPathOf(entryOf(call).path)); }

void getShortName(HostCall& call) {
  std::wstring shortPath = shortPathOf(entryOf(call).path);
  *call.result = scriptText(call.engine, asWide(nameOf(asUtf16(shortPath))));
}

// A root answers the bytes used on its volume, another folder the bytes of every file below it.
void getSize(HostCall& call) {
  const PathEntry& entry = entryOf(call);
  if (isRootPath(asUtf16(entry.path))) {
    std::optional<DiskSpace> space = diskSpace(entry.path);
    if (space) call.result->setInteger(int64_t(space->total - space->availableToCaller));
    else call.result->setNaN();
  } else if (entry.folder) {
    call.result->setInteger(int64_t(folderBytes(entry.path)));
  } else {
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool known = GetFileAttributesExW(entry.path.c_str(), GetFileExInfoStandard, &data);
    call.result->setInteger(known ? int64_t((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow) : 0);
  }
}

void getSubFolders(HostCall& call) {
  if (entryOf(call).folder) scriptTextArray(call.engine, listing(entryOf(call), EntryKind::Folders), call.result);
}

void getFiles(HostCall& call) {
  if (entryOf(call).folder) scriptTextArray(call.engine, listing(entryOf(call), EntryKind::Files), call.result);
}

void getType(HostCall& call) { call.result->setInteger(entryOf(call).folder ? 1 : 0); }

const script::HostPropertyEntry kProperties[] = {
    {"attributes", getAttributes, setAttributes},
    {"dateCreated", getTime<TimeKind::Created>, setTime<TimeKind::Created>},
    {"dateLastAccessed", getTime<TimeKind::LastAccessed>, setTime<TimeKind::LastAccessed>},
    {"dateLastModified", getTime<TimeKind::LastModified>, setTime<TimeKind::LastModified>},
    {"drive", getDrive},
    {"isRootFolder", getIsRootFolder},
    {"name", getName, setName},
    {"parentPath", getParentPath},
    {"path", getPath},
    {"shortName", getShortName},
    {"shortPath", getShortPath},
    {"size", getSize},
    {"subFolders", getSubFolders},
    {"files", getFiles},
    {"type", getType},
};

const script::HostClassInfo kFolderClass = {
    .name = "Folder",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<PathEntry>,
    .state = &script::kPlainState<FolderState>,
};

}  // namespace

// "File" is the same class object: its instances are Folders in every respect, toString included.
void registerFolderAndFile(script::Engine& engine) {
  script::defineHostClass(engine, kFolderClass);
  script::globalSlot(engine, "File") = script::globalSlot(engine, "Folder");
}

}  // namespace vexil::objects::files
