// Both directions feed zlib input blocks of kStreamBlockSize bytes and collect its output through a
// buffer of the same size, appended to the result each time zlib has filled some of it.
#include "objects/streams/stream_compression.h"

#include <zlib.h>

#include <algorithm>

namespace vexil::objects {

namespace {

// Owns an initialised z_stream for one direction.
template <int (*End)(z_streamp)>
struct ZStream {
  z_stream z{};
  bool live = false;
  ~ZStream() {
    if (live) End(&z);
  }
};

// zlib counts in uInt; a block never exceeds kStreamBlockSize, so this holds on every target.
uInt blockOf(size_t remaining) { return uInt(std::min(remaining, kStreamBlockSize)); }

}  // namespace

std::optional<std::vector<uint8_t>> compressBytes(std::span<const uint8_t> data, int level) {
  ZStream<deflateEnd> s;
  if (deflateInit(&s.z, level) != Z_OK) return std::nullopt;
  s.live = true;
  std::vector<uint8_t> out;
  Bytef buffer[kStreamBlockSize];
  size_t fed = 0;
  int flush;
  do {
    uInt block = blockOf(data.size() - fed);
    s.z.next_in = const_cast<Bytef*>(data.data() + fed);
    s.z.avail_in = block;
    fed += block;
    flush = fed == data.size() ? Z_FINISH : Z_NO_FLUSH;
    // A buffer error only says no progress was possible with this buffer: it is not a failure.
    do {
      s.z.next_out = buffer;
      s.z.avail_out = sizeof buffer;
      int status = deflate(&s.z, flush);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return std::nullopt;
      out.insert(out.end(), buffer, buffer + (sizeof buffer - s.z.avail_out));
    } while (s.z.avail_out == 0);
  } while (flush != Z_FINISH);
  return out;
}

std::optional<std::vector<uint8_t>> uncompressBytes(std::span<const uint8_t> data, size_t limit) {
  ZStream<inflateEnd> s;
  if (inflateInit(&s.z) != Z_OK) return std::nullopt;
  s.live = true;
  std::vector<uint8_t> out;
  Bytef buffer[kStreamBlockSize];
  size_t fed = 0;
  while (fed < data.size()) {
    uInt block = blockOf(data.size() - fed);
    s.z.next_in = const_cast<Bytef*>(data.data() + fed);
    s.z.avail_in = block;
    fed += block;
    do {
      s.z.next_out = buffer;
      s.z.avail_out = sizeof buffer;
      int status = inflate(&s.z, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return std::nullopt;
      size_t produced = sizeof buffer - s.z.avail_out;
      if (produced > limit - out.size()) return std::nullopt;
      out.insert(out.end(), buffer, buffer + produced);
      if (status == Z_STREAM_END) return out;
    } while (s.z.avail_out == 0);
  }
  return std::nullopt;  // the input ended inside the stream
}

uint32_t crc32Of(std::span<const uint8_t> data) {
  constexpr size_t kChunk = size_t(1) << 20;
  uLong crc = crc32(0, Z_NULL, 0);
  for (size_t at = 0; at < data.size(); at += kChunk) {
    crc = crc32(crc, data.data() + at, uInt(std::min(kChunk, data.size() - at)));
  }
  return uint32_t(crc);
}

}  // namespace vexil::objects
