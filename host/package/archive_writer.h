#pragma once
// Builds the additional-files archive that the packager appends to an executable.
#include <cstdint>
#include <string>
#include <vector>

namespace vexil::package {

struct ArchiveNode {
  std::string name;
  bool folder = false;
  std::vector<uint8_t> contents;      // a file's bytes
  std::vector<ArchiveNode> children;  // a folder's entries
};

// The archive body followed by its length and a non-zero marker, ready to append to a file.
std::vector<uint8_t> buildArchive(const std::vector<ArchiveNode>& root);

}  // namespace vexil::package
