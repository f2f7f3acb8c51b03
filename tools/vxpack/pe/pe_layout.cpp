#include "tools/vxpack/pe/pe_layout.h"

#include <algorithm>

#include "tools/vxpack/pe/pe_resources.h"

namespace vexil::pe {

namespace {

constexpr size_t kMaxSections = 96;  // the loader's own limit

bool powerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

void need(std::span<const uint8_t> bytes, size_t at, size_t size, const char* what) {
  if (at > bytes.size() || size > bytes.size() - at) throw PeError(std::string("truncated ") + what);
}

}  // namespace

uint16_t get16(std::span<const uint8_t> b, size_t at) {
  need(b, at, 2, "field");
  return uint16_t(b[at] | b[at + 1] << 8);
}

uint32_t get32(std::span<const uint8_t> b, size_t at) {
  need(b, at, 4, "field");
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at + 1);
  b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b.at(at + 3);
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

ImageLayout readLayout(std::span<const uint8_t> image) {
  if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') throw PeError("not a Windows program (no MZ header)");
  ImageLayout l;
  size_t pe = get32(image, 0x3C);
  need(image, pe, 24, "PE header");
  if (image[pe] != 'P' || image[pe + 1] != 'E' || image[pe + 2] != 0 || image[pe + 3] != 0)
    throw PeError("not a Windows program (no PE signature)");
  l.fileHeader = pe + 4;
  size_t count = get16(image, l.fileHeader + 2);
  size_t optionalSize = get16(image, l.fileHeader + 16);
  l.optionalHeader = l.fileHeader + 20;
  need(image, l.optionalHeader, optionalSize, "optional header");
  uint16_t magic = get16(image, l.optionalHeader);
  if (magic != 0x10B && magic != 0x20B) throw PeError("unknown optional header kind");
  l.pe32Plus = magic == 0x20B;
  size_t countField = l.pe32Plus ? 108 : 92;
  if (optionalSize < countField + 4) throw PeError("optional header too short");
  l.sectionAlignment = get32(image, l.optionalHeader + 32);
  l.fileAlignment = get32(image, l.optionalHeader + 36);
  l.sizeOfHeaders = get32(image, l.optionalHeader + 60);
  if (!powerOfTwo(l.sectionAlignment) || !powerOfTwo(l.fileAlignment) || l.fileAlignment > l.sectionAlignment)
    throw PeError("bad section or file alignment");
  l.directoryCount = get32(image, l.optionalHeader + countField);
  l.directories = l.optionalHeader + countField + 4;
  if (l.directoryCount <= kSecurityDirectory || l.directoryCount > 16 ||
      countField + 4 + 8 * size_t(l.directoryCount) > optionalSize)
    throw PeError("the data directories have no resource entry");
  if (count == 0 || count > kMaxSections) throw PeError("bad number of sections");
  l.sectionTable = l.optionalHeader + optionalSize;
  need(image, l.sectionTable, count * kSectionHeaderSize, "section table");
  if (l.sizeOfHeaders > image.size() || l.sizeOfHeaders < l.sectionTable + count * kSectionHeaderSize)
    throw PeError("the size of the headers does not match the file");
  for (size_t i = 0; i < count; ++i) {
    size_t h = l.sectionTable + i * kSectionHeaderSize;
    Section s;
    for (size_t c = 0; c < 8 && image[h + c]; ++c) s.name += char(image[h + c]);
    s.virtualSize = get32(image, h + 8);
    s.virtualAddress = get32(image, h + 12);
    s.rawSize = get32(image, h + 16);
    s.rawPointer = get32(image, h + 20);
    s.characteristics = get32(image, h + 36);
    s.headerOffset = h;
    if (s.rawSize) need(image, s.rawPointer, s.rawSize, "section data");
    if (uint64_t(s.virtualAddress) + std::max(s.virtualSize, s.rawSize) > 0xFFFFFFFFull)
      throw PeError("section beyond the address space");
    l.sections.push_back(s);
  }
  return l;
}

const Section* sectionAt(const ImageLayout& l, uint32_t rva) {
  for (const Section& s : l.sections)
    if (rva >= s.virtualAddress && rva < s.virtualEnd()) return &s;
  return nullptr;
}

std::span<const uint8_t> bytesAt(std::span<const uint8_t> image, const ImageLayout& l, uint32_t rva, uint32_t size) {
  const Section* s = sectionAt(l, rva);
  if (!s) throw PeError("address outside every section");
  uint64_t offset = rva - s->virtualAddress;
  if (offset + size > s->rawSize) throw PeError("data beyond its section's file bytes");
  return image.subspan(s->rawPointer + offset, size);
}

}  // namespace vexil::pe
