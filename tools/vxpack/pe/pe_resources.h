#pragma once
// The resources of a Windows executable (PE) file, read and written without Windows: the packager
// uses this to put a package into a copy of the runtime stub on machines that do not have the
// Windows resource-update functions.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace vexil::pe {

// A resource type or name: a number, or a text. Texts are kept in upper case, as the resource
// compiler stores them, because the loader looks them up by an upper-case binary search.
struct ResourceId {
  bool named = false;
  uint16_t number = 0;
  std::u16string name;

  static ResourceId of(std::string_view text);  // "#12" or "12" is a number; anything else a name
  static ResourceId of(uint16_t number) { return ResourceId{false, number, {}}; }
  std::string text() const;  // the name, or the number in decimal
  // Names first, in code-unit order, then numbers: the order the loader's binary search expects.
  auto operator<=>(const ResourceId& other) const {
    if (named != other.named) return named ? std::strong_ordering::less : std::strong_ordering::greater;
    return named ? name <=> other.name : number <=> other.number;
  }
  bool operator==(const ResourceId&) const = default;
};

struct ResourceKey {
  ResourceId type, name;
  uint16_t language = 0;
  auto operator<=>(const ResourceKey&) const = default;
};

struct ResourceData {
  std::vector<uint8_t> bytes;
  uint32_t codePage = 0;
  bool operator==(const ResourceData&) const = default;
};

using ResourceTable = std::map<ResourceKey, ResourceData>;

// What is wrong with a file that is not a usable PE image, or a resource tree that cannot be read.
class PeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The resources the image carries (an empty table when it has none). Throws PeError.
ResourceTable readResources(std::span<const uint8_t> image);

// A copy of the image whose resources are exactly `table`. The new resource section replaces the
// old one in place when it is the last section; otherwise it is added as a new last section (the
// old one stays, unreferenced). Section table, SizeOfImage, SizeOfInitializedData, the resource
// data directory and the checksum are updated; bytes after the sections (a symbol table, an
// appended archive) are kept after the new last section. Throws PeError.
std::vector<uint8_t> writeResources(std::span<const uint8_t> image, const ResourceTable& table);

// The image checksum the loader of drivers and system files checks (the checksum field counts as 0).
uint32_t imageChecksum(std::span<const uint8_t> image, size_t checksumOffset);

}  // namespace vexil::pe
