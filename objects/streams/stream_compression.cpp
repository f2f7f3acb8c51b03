// Compression feeds deflate input blocks of kStreamBlockSize bytes and collects its output through
// a buffer of the same size, appended to the result each time deflate has filled some of it.
// Decompression works in larger steps (see there); block sizes never show in the results.
#include "objects/streams/stream_compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

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

constexpr size_t kMaxZlibCount = size_t(1) << 30;
constexpr size_t kFirstGuessCap = size_t(64) << 20;

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

// Inflate writes straight into the result, which starts at four times the input (at most
// kFirstGuessCap) and grows by doubling up to one byte past the limit:
// copying through a small buffer would double the cost of the fastest part of the work, and
// inflate runs fastest with room to write. Reaching that extra byte means the stream is too big.
std::optional<std::vector<uint8_t>> uncompressBytes(std::span<const uint8_t> data, size_t limit) {
  ZStream<inflateEnd> s;
  if (inflateInit(&s.z) != Z_OK) return std::nullopt;
  s.live = true;
  size_t ceiling = limit < SIZE_MAX ? limit + 1 : limit;
  std::vector<uint8_t> out;
  size_t filled = 0;
  size_t fed = 0;
  while (fed < data.size()) {
    uInt block = uInt(std::min(data.size() - fed, kMaxZlibCount));
    s.z.next_in = const_cast<Bytef*>(data.data() + fed);
    s.z.avail_in = block;
    fed += block;
    do {
      if (filled == out.size()) {
        if (filled == ceiling) return std::nullopt;
        size_t first = std::min(data.size(), kFirstGuessCap / 4) * 4;  // a typical ratio, within reason
        out.resize(std::min(ceiling, std::max({filled * 2, kStreamBlockSize * 16, filled ? 0 : first})));
      }
      s.z.next_out = out.data() + filled;
      s.z.avail_out = uInt(std::min<size_t>(out.size() - filled, kMaxZlibCount));
      uInt room = s.z.avail_out;
      int status = inflate(&s.z, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return std::nullopt;
      filled += room - s.z.avail_out;
      if (filled > limit) return std::nullopt;
      if (status == Z_STREAM_END) {
        out.resize(filled);
        return out;
      }
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
