#pragma once
// Lists the archive of additional files appended to a saver, and checks every file in it (its
// compressed bytes inflate to data whose CRC-32 is the stored one). selfcheck reports with it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vexil::project {

struct ArchiveEntry {
  std::string path;  // folders joined with "/"
  bool folder = false;
  uint64_t size = 0;  // a file's bytes once inflated
};

struct ArchiveContents {
  bool present = false;      // the file ends in an archive
  std::vector<ArchiveEntry> entries;
  std::string problem;       // empty when every entry is sound; else the first problem found
};

ArchiveContents listArchive(std::span<const uint8_t> file);

}  // namespace vexil::project
