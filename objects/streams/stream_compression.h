#pragma once
// zlib (RFC 1950) compression, decompression and CRC-32 over whole byte arrays, as the StringStream
// members compress, uncompress and crc use them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "objects/streams/stream_constants.h"

namespace vexil::objects {

// Null when the level is not one zlib knows (0-9, or -1 for its default) or deflate fails.
std::optional<std::vector<uint8_t>> compressBytes(std::span<const uint8_t> data,
                                                  int level = kDefaultCompressionLevel);
// Null for anything but one complete zlib stream (bytes after its end are ignored), and for a
// stream that would inflate to more than limit bytes.
std::optional<std::vector<uint8_t>> uncompressBytes(std::span<const uint8_t> data,
                                                    size_t limit = kDefaultInflateLimit);
// zlib's crc32 starting from 0.
uint32_t crc32Of(std::span<const uint8_t> data);

}  // namespace vexil::objects
