#pragma once
// Builds small PE images for the resource writer's tests: headers, a section table and section
// bytes laid out as a linker would, with a resource section, a relocation section, a symbol table
// or bytes after the sections where a case asks for them.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vxpack/pe/pe_resources.h"

namespace vexil::pe::testing {

struct TestSection {
  std::string name;
  uint32_t size = 0x300;         // bytes of data (filled with a pattern of the section's index)
  uint32_t characteristics = 0x40000040;
};

struct TestImage {
  bool pe32Plus = true;
  std::vector<TestSection> sections;  // ".rsrc" gets `resources`; ".reloc" gets base relocations
  ResourceTable resources;
  std::vector<uint8_t> trailer;  // bytes after the last section (an appended archive)
  bool symbolTable = false;      // a COFF symbol table after the sections, named by the header
  uint32_t sizeOfHeaders = 0x400;
};

inline constexpr uint32_t kSectionAlignment = 0x1000;
inline constexpr uint32_t kFileAlignment = 0x200;

std::vector<uint8_t> makeImage(const TestImage& plan);

}  // namespace vexil::pe::testing
