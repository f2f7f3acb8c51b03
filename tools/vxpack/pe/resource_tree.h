#pragma once
// The resource section's tree (type, name, language, data) in its file form: directory tables,
// then data entries, then name strings, then the data, each data item aligned to 8 bytes.
#include <cstdint>
#include <span>
#include <vector>

#include "tools/vxpack/pe/pe_resources.h"

namespace vexil::pe {

// The section bytes for a section placed at `sectionRva` (data entries hold addresses).
std::vector<uint8_t> encodeResourceTree(const ResourceTable& table, uint32_t sectionRva);

// Reads a tree whose root is `tree` (the section bytes from the root on); `treeRva` is the root's
// address, `dataAt` gives the bytes at an address (the data may lie anywhere in the image).
// Throws PeError.
template <typename DataAt>
ResourceTable decodeResourceTree(std::span<const uint8_t> tree, DataAt dataAt);

}  // namespace vexil::pe

#include "tools/vxpack/pe/resource_tree_decode.h"
