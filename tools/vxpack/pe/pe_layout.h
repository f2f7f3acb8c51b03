#pragma once
// The parts of a PE file's headers the resource writer reads and changes: where the headers are,
// the alignments, the data directories and the section table. Every offset is checked against the
// file's size when it is read.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vexil::pe {

inline constexpr int kResourceDirectory = 2;
inline constexpr int kSecurityDirectory = 4;
inline constexpr uint32_t kSectionInitializedData = 0x00000040;
inline constexpr uint32_t kSectionRead = 0x40000000;
inline constexpr size_t kSectionHeaderSize = 40;

struct Section {
  std::string name;
  uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0, characteristics = 0;
  size_t headerOffset = 0;  // where its entry in the section table starts
  uint32_t virtualEnd() const { return virtualAddress + (virtualSize ? virtualSize : rawSize); }
};

struct ImageLayout {
  size_t fileHeader = 0;      // the COFF header, after "PE\0\0"
  size_t optionalHeader = 0;  // the optional header
  size_t sectionTable = 0;
  bool pe32Plus = false;
  uint32_t sectionAlignment = 0, fileAlignment = 0, sizeOfHeaders = 0;
  size_t directories = 0;  // offset of the data directory array
  uint32_t directoryCount = 0;
  std::vector<Section> sections;

  size_t checksumOffset() const { return optionalHeader + 64; }
  size_t sizeOfImageOffset() const { return optionalHeader + 56; }
  size_t initializedDataOffset() const { return optionalHeader + 8; }
  size_t symbolTableOffset() const { return fileHeader + 8; }
  size_t sectionCountOffset() const { return fileHeader + 2; }
  size_t directoryOffset(int index) const { return directories + 8 * size_t(index); }
};

uint16_t get16(std::span<const uint8_t> bytes, size_t at);
uint32_t get32(std::span<const uint8_t> bytes, size_t at);
void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

ImageLayout readLayout(std::span<const uint8_t> image);  // throws PeError

// The section whose virtual range holds `rva`, or nullptr.
const Section* sectionAt(const ImageLayout& layout, uint32_t rva);

// The file bytes of `size` bytes at `rva`, which must lie in one section's raw data.
std::span<const uint8_t> bytesAt(std::span<const uint8_t> image, const ImageLayout& layout, uint32_t rva,
                                 uint32_t size);

}  // namespace vexil::pe
