#pragma once
// What a folder holds: its files and subfolders, the bytes below it, and a copy of its tree.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::objects::files {

enum class EntryKind { Files, Folders };

// Calls visit(name) for each file or each subfolder of the folder ("." and ".." left out), in the
// order the file system reports them; nothing for a folder that cannot be read.
void forEachEntry(const std::wstring& folder, EntryKind kind, const std::function<void(std::wstring_view)>& visit);

// The bytes of every file below the folder, in 64 bits. Reparse points (junctions, links) are
// not followed, so a link back up the tree cannot loop.
uint64_t folderBytes(const std::wstring& folder);

// Copies one file over what is at `destination`, unless that is marked read-only.
bool copyFile(const std::wstring& source, const std::wstring& destination);

// Copies everything below `source` into `destination`, which exists: subfolders are made (or
// reused when there already), files copied over what is there. False on the first failure,
// including a source that cannot be read; reparse points are left out.
bool copyTree(const std::wstring& source, const std::wstring& destination);

}  // namespace vexil::objects::files
