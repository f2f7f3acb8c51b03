#include "pe_test_image.h"

#include "tools/vxpack/pe/pe_layout.h"
#include "tools/vxpack/pe/resource_tree.h"

namespace vexil::pe::testing {

namespace {

uint32_t align(uint32_t v, uint32_t to) { return (v + to - 1) / to * to; }

}  // namespace

std::vector<uint8_t> makeImage(const TestImage& plan) {
  const uint32_t peAt = 0x80, optionalSize = plan.pe32Plus ? 240 : 224;
  const size_t sectionTable = peAt + 24 + optionalSize;
  std::vector<uint8_t> image(plan.sizeOfHeaders, 0);
  image[0] = 'M', image[1] = 'Z';
  put32(image, 0x3C, peAt);
  image[peAt] = 'P', image[peAt + 1] = 'E';
  size_t file = peAt + 4, opt = file + 20;
  put16(image, file, plan.pe32Plus ? 0x8664 : 0x14C);
  put16(image, file + 2, uint16_t(plan.sections.size()));
  put16(image, file + 16, uint16_t(optionalSize));
  put16(image, file + 18, 0x0102);
  put16(image, opt, plan.pe32Plus ? 0x20B : 0x10B);
  put32(image, opt + 32, kSectionAlignment);
  put32(image, opt + 36, kFileAlignment);
  put32(image, opt + 60, plan.sizeOfHeaders);
  put16(image, opt + 68, 2);  // a GUI program
  size_t dirs = opt + (plan.pe32Plus ? 112 : 96);
  put32(image, dirs - 4, 16);

  uint32_t rva = kSectionAlignment;
  for (size_t i = 0; i < plan.sections.size(); ++i) {
    const TestSection& s = plan.sections[i];
    std::vector<uint8_t> data(s.size, uint8_t(0xA0 + i));
    if (s.name == ".rsrc") {
      data = encodeResourceTree(plan.resources, rva);
      put32(image, dirs + 8 * kResourceDirectory, rva);
      put32(image, dirs + 8 * kResourceDirectory + 4, uint32_t(data.size()));
    } else if (s.name == ".reloc") {
      // One block of base relocations for the first page: the loader would apply them.
      data.assign(12, 0);
      put32(data, 0, kSectionAlignment);
      put32(data, 4, 12);
      put16(data, 8, 0xA010);
      put32(image, dirs + 8 * 5, rva);
      put32(image, dirs + 8 * 5 + 4, 12);
    }
    size_t header = sectionTable + i * kSectionHeaderSize;
    for (size_t c = 0; c < s.name.size() && c < 8; ++c) image[header + c] = uint8_t(s.name[c]);
    uint32_t raw = align(uint32_t(image.size()), kFileAlignment);
    put32(image, header + 8, uint32_t(data.size()));
    put32(image, header + 12, rva);
    put32(image, header + 16, align(uint32_t(data.size()), kFileAlignment));
    put32(image, header + 20, raw);
    put32(image, header + 36, s.characteristics);
    image.resize(raw, 0);
    image.insert(image.end(), data.begin(), data.end());
    image.resize(raw + align(uint32_t(data.size()), kFileAlignment), 0);
    rva += align(uint32_t(data.size()), kSectionAlignment);
  }
  put32(image, opt + 56, rva);
  if (plan.symbolTable) {
    put32(image, file + 8, uint32_t(image.size()));
    put32(image, file + 12, 1);
    image.insert(image.end(), {'.', 'f', 'i', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0xFE, 0xFF, 0, 0, 0x67, 0});
    image.insert(image.end(), {4, 0, 0, 0});  // an empty string table
  }
  image.insert(image.end(), plan.trailer.begin(), plan.trailer.end());
  return image;
}

}  // namespace vexil::pe::testing
