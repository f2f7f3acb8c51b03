#include "objects/sysinfo/storage_descriptor.h"

#include <algorithm>

namespace vexil::objects {
namespace {

constexpr size_t kHeaderSize = 36;
constexpr size_t kSizeAt = 4;
constexpr size_t kDeviceTypeAt = 8;
constexpr size_t kRemovableAt = 10;
constexpr size_t kVendorAt = 12;
constexpr size_t kProductAt = 16;
constexpr size_t kRevisionAt = 20;
constexpr size_t kSerialAt = 24;
constexpr size_t kBusTypeAt = 28;

uint32_t readU32(std::span<const uint8_t> block, size_t at) {
  return uint32_t(block[at]) | uint32_t(block[at + 1]) << 8 | uint32_t(block[at + 2]) << 16 |
         uint32_t(block[at + 3]) << 24;
}

bool isPadding(char c) { return c == ' ' || c == '\t'; }

std::optional<std::string> textAt(std::span<const uint8_t> block, size_t offsetAt) {
  uint32_t offset = readU32(block, offsetAt);
  if (offset == 0 || offset >= block.size()) return std::nullopt;
  auto begin = block.begin() + offset;
  auto end = std::find(begin, block.end(), uint8_t(0));
  std::string text(begin, end);
  size_t first = 0;
  while (first < text.size() && isPadding(text[first])) ++first;
  size_t last = text.size();
  while (last > first && isPadding(text[last - 1])) --last;
  if (first == last) return std::nullopt;
  return text.substr(first, last - first);
}

}  // namespace

std::optional<StorageIdentity> parseStorageDescriptor(std::span<const uint8_t> block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  uint32_t claimed = readU32(block, kSizeAt);
  if (claimed < kHeaderSize) return std::nullopt;
  block = block.first(std::min<size_t>(block.size(), claimed));
  StorageIdentity identity;
  identity.deviceType = block[kDeviceTypeAt];
  identity.removable = block[kRemovableAt] != 0;
  identity.busType = readU32(block, kBusTypeAt);
  identity.vendor = textAt(block, kVendorAt);
  identity.product = textAt(block, kProductAt);
  identity.revision = textAt(block, kRevisionAt);
  identity.serialNumber = textAt(block, kSerialAt);
  return identity;
}

}  // namespace vexil::objects
