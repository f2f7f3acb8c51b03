#pragma once
// The compressed resource record every packaged item is stored as:
//   "SM", u16 version 1, u32 decompressed size, u32 compressed size, u32 CRC-32, zlib stream.
// The CRC is carried for the packager; the zlib stream's own Adler-32 detects corruption.
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vexil::package {

inline constexpr const char* kBadBlobLength = "Bad compressed data length";
inline constexpr const char* kBadBlobHeader = "Bad compressed data header";
inline constexpr size_t kBlobHeaderSize = 16;

// Why a blob did not decode: one of the two texts above, or a zlib error code.
struct BlobError {
  std::string message;  // empty when zlibCode tells
  int zlibCode = 0;
  std::string describe() const;
};

using BlobResult = std::variant<std::vector<uint8_t>, BlobError>;

// Decodes a blob. The output is the bytes the stream actually produced, never more than the
// declared size (a stream producing more fails with the zlib buffer error, as does one that ends
// early); memory grows with what the stream produces, so a lying size allocates nothing extra.
BlobResult decodeBlob(std::span<const uint8_t> resource);

// Encodes bytes as a blob (deflate at the given level).
std::vector<uint8_t> encodeBlob(std::span<const uint8_t> data, int level = 9);

}  // namespace vexil::package
