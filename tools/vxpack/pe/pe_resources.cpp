#include "tools/vxpack/pe/pe_resources.h"

#include <algorithm>

#include "tools/vxpack/pe/pe_layout.h"
#include "tools/vxpack/pe/resource_tree.h"

namespace vexil::pe {

namespace {

constexpr uint32_t kResourceCharacteristics = kSectionInitializedData | kSectionRead;

uint64_t align(uint64_t v, uint64_t to) { return (v + to - 1) / to * to; }

// The section the resource directory points at, when it starts that section.
const Section* resourceSection(std::span<const uint8_t> image, const ImageLayout& l) {
  uint32_t rva = get32(image, l.directoryOffset(kResourceDirectory));
  uint32_t size = get32(image, l.directoryOffset(kResourceDirectory) + 4);
  if (rva == 0 || size == 0) return nullptr;
  const Section* s = sectionAt(l, rva);
  return s && s->virtualAddress == rva ? s : nullptr;
}

// Where the section data ends in the file; what follows (a symbol table, an appended archive) is
// not part of the image.
uint64_t sectionsEnd(const ImageLayout& l) {
  uint64_t end = l.sizeOfHeaders;
  for (const Section& s : l.sections)
    if (s.rawSize) end = std::max<uint64_t>(end, uint64_t(s.rawPointer) + s.rawSize);
  return end;
}

}  // namespace

ResourceId ResourceId::of(std::string_view text) {
  std::string_view digits = text.substr(text.starts_with('#') ? 1 : 0);
  bool number = !digits.empty() && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  if (number && std::stoul(std::string(digits)) <= 0xFFFF) return of(uint16_t(std::stoul(std::string(digits))));
  ResourceId id{true, 0, {}};
  for (char c : text) id.name += char16_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : static_cast<unsigned char>(c));
  return id;
}

std::string ResourceId::text() const {
  if (!named) return std::to_string(number);
  std::string out;
  for (char16_t c : name) out += c < 0x80 ? char(c) : '?';
  return out;
}

ResourceTable readResources(std::span<const uint8_t> image) {
  ImageLayout l = readLayout(image);
  uint32_t rva = get32(image, l.directoryOffset(kResourceDirectory));
  uint32_t size = get32(image, l.directoryOffset(kResourceDirectory) + 4);
  if (rva == 0 || size == 0) return {};
  const Section* s = sectionAt(l, rva);
  if (!s) throw PeError("the resource directory lies outside every section");
  uint32_t offset = rva - s->virtualAddress;
  if (offset >= s->rawSize) throw PeError("the resource directory lies outside its section's bytes");
  auto tree = image.subspan(s->rawPointer + offset, s->rawSize - offset);
  return decodeResourceTree(tree, [&](uint32_t at, uint32_t length) { return bytesAt(image, l, at, length); });
}

// Sections lie after the headers in memory and do not share addresses; an image where they do is
// refused rather than given one more section somewhere inside another.
void checkSectionsApart(const ImageLayout& l) {
  std::vector<const Section*> byAddress;
  for (const Section& s : l.sections) {
    if (s.virtualEnd() == s.virtualAddress) continue;  // takes no memory
    if (s.virtualAddress < l.sizeOfHeaders) throw PeError("a section overlaps the headers");
    byAddress.push_back(&s);
  }
  std::sort(byAddress.begin(), byAddress.end(),
            [](auto* a, auto* b) { return a->virtualAddress < b->virtualAddress; });
  for (size_t i = 1; i < byAddress.size(); ++i)
    if (byAddress[i]->virtualAddress < byAddress[i - 1]->virtualEnd()) throw PeError("sections overlap");
}

std::vector<uint8_t> writeResources(std::span<const uint8_t> image, const ResourceTable& table) {
  ImageLayout l = readLayout(image);
  checkSectionsApart(l);
  uint64_t end = sectionsEnd(l);
  const Section* old = resourceSection(image, l);
  const Section* lastByAddress = &*std::max_element(l.sections.begin(), l.sections.end(), [](auto& a, auto& b) {
    return a.virtualEnd() < b.virtualEnd();
  });
  // In place only when nothing follows the resource section, in memory or in the file.
  bool inPlace = old == lastByAddress && uint64_t(old->rawPointer) + old->rawSize == end;

  Section placed;
  size_t header = 0;
  if (inPlace) {
    placed = *old;
    header = old->headerOffset;
  } else {
    header = l.sectionTable + l.sections.size() * kSectionHeaderSize;
    uint64_t firstData = l.sizeOfHeaders;
    for (const Section& s : l.sections)
      if (s.rawSize) firstData = std::min<uint64_t>(firstData, s.rawPointer);
    if (header + kSectionHeaderSize > firstData) throw PeError("no room in the headers for another section");
    for (size_t i = header; i < header + kSectionHeaderSize; ++i)
      if (image[i]) throw PeError("the headers hold data where another section would go");
    if (l.sections.size() + 1 > 96) throw PeError("too many sections");
    uint64_t after = std::max<uint64_t>(lastByAddress->virtualEnd(), std::max<uint32_t>(l.sizeOfHeaders, 1));
    uint64_t address = align(after, l.sectionAlignment), pointer = align(end, l.fileAlignment);
    if (address >= 0xFFFFFFFFull || pointer >= 0xFFFFFFFFull) throw PeError("no address left for another section");
    placed.virtualAddress = uint32_t(address);
    placed.rawPointer = uint32_t(pointer);
  }
  std::vector<uint8_t> tree = encodeResourceTree(table, placed.virtualAddress);
  uint64_t rawSize = align(tree.size(), l.fileAlignment);
  if (uint64_t(placed.rawPointer) + rawSize + (image.size() - end) > 0xFFFFFFFFull ||
      uint64_t(placed.virtualAddress) + align(tree.size(), l.sectionAlignment) > 0xFFFFFFFFull)
    throw PeError("the resources make the program too large");

  std::vector<uint8_t> out(image.begin(), image.begin() + long(inPlace ? placed.rawPointer : end));
  out.resize(placed.rawPointer, 0);
  out.insert(out.end(), tree.begin(), tree.end());
  out.resize(placed.rawPointer + rawSize, 0);
  uint64_t moved = out.size() - end;  // how far the bytes after the sections move
  out.insert(out.end(), image.begin() + long(end), image.end());

  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  std::copy(name, name + 8, out.begin() + long(header));
  put32(out, header + 8, uint32_t(tree.size()));
  put32(out, header + 12, placed.virtualAddress);
  put32(out, header + 16, uint32_t(rawSize));
  put32(out, header + 20, placed.rawPointer);
  for (size_t field = 24; field < 36; ++field) out[header + field] = 0;  // no relocations or line numbers
  put32(out, header + 36, kResourceCharacteristics);
  if (!inPlace) put16(out, l.sectionCountOffset(), uint16_t(l.sections.size() + 1));

  uint32_t symbols = get32(out, l.symbolTableOffset());
  if (symbols >= end) put32(out, l.symbolTableOffset(), uint32_t(symbols + moved));
  // A signature no longer matches the changed file: it is dropped rather than left broken.
  put32(out, l.directoryOffset(kSecurityDirectory), 0);
  put32(out, l.directoryOffset(kSecurityDirectory) + 4, 0);
  put32(out, l.directoryOffset(kResourceDirectory), placed.virtualAddress);
  put32(out, l.directoryOffset(kResourceDirectory) + 4, uint32_t(tree.size()));

  ImageLayout updated = readLayout(out);
  uint64_t imageEnd = 0, initialized = 0;
  for (const Section& s : updated.sections) {
    imageEnd = std::max<uint64_t>(imageEnd, s.virtualEnd());
    if (s.characteristics & kSectionInitializedData) initialized += s.rawSize;
  }
  put32(out, l.sizeOfImageOffset(), uint32_t(align(imageEnd, l.sectionAlignment)));
  put32(out, l.initializedDataOffset(), uint32_t(initialized));
  put32(out, l.checksumOffset(), imageChecksum(out, l.checksumOffset()));
  return out;
}

uint32_t imageChecksum(std::span<const uint8_t> image, size_t checksumOffset) {
  auto byte = [&](size_t i) -> uint32_t {
    return i < image.size() && (i < checksumOffset || i >= checksumOffset + 4) ? image[i] : 0;
  };
  uint64_t sum = 0;
  for (size_t i = 0; i < image.size(); i += 2) {
    sum += byte(i) | byte(i + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return uint32_t(sum + image.size());
}

}  // namespace vexil::pe
