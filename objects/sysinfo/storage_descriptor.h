#pragma once
// The identity texts of a storage device descriptor (what IOCTL_STORAGE_QUERY_PROPERTY answers
// for StorageDeviceProperty): a fixed little-endian header of offsets into the same block, each
// pointing at a zero-terminated ASCII text. The block comes from a driver, so every offset and
// length is checked against the block and against the size the header itself claims.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vexil::objects {

struct StorageIdentity {
  std::optional<std::string> vendor;
  std::optional<std::string> product;
  std::optional<std::string> revision;
  std::optional<std::string> serialNumber;
  uint8_t deviceType = 0;
  bool removable = false;
  uint32_t busType = 0;
};

// The header is 36 bytes. Nothing when the block is shorter, or claims a size shorter than the
// header. A text is absent when its offset is 0 or points outside the claimed block; texts are
// cut at the block's end when unterminated, and trimmed of the spaces drives pad them with; a
// text that is empty after trimming is absent.
std::optional<StorageIdentity> parseStorageDescriptor(std::span<const uint8_t> block);

}  // namespace vexil::objects
