#include "player/render/image_decoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "player/render/geometry.h"
#include "player/render/stb_image_use.h"

namespace vexil::render {
namespace {

bool sizeAllowed(int width, int height, uint64_t budget) {
  return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
         static_cast<uint64_t>(width) * height <= budget;
}

// Tools wrote JPEG data as two streams (tables, then image) and some prefixed a stray end marker;
// the decoder wants one stream, so end-then-start marker pairs before the image data are removed.
std::vector<uint8_t> joinJpegStreams(std::span<const uint8_t> tables, std::span<const uint8_t> data) {
  std::vector<uint8_t> joined(tables.begin(), tables.end());
  joined.insert(joined.end(), data.begin(), data.end());
  std::vector<uint8_t> out;
  out.reserve(joined.size());
  size_t i = 0;
  bool seenStart = false;
  while (i + 1 < joined.size()) {
    if (joined[i] != 0xFF) break;
    uint8_t marker = joined[i + 1];
    if (marker == 0xD8 || marker == 0xD9) {
      if (marker == 0xD8 && !seenStart) out.insert(out.end(), {0xFF, 0xD8});
      seenStart = seenStart || marker == 0xD8;
      i += 2;
      continue;
    }
    if (marker == 0xDA || i + 3 >= joined.size()) break;
    size_t length = (size_t{joined[i + 2]} << 8) | joined[i + 3];
    size_t end = std::min(joined.size(), i + 2 + length);
    out.insert(out.end(), joined.begin() + i, joined.begin() + end);
    i = end;
  }
  out.insert(out.end(), joined.begin() + std::min(i, joined.size()), joined.end());
  return out;
}

// Every Huffman table must hold at most 256 codes and fit its segment. The decoder trusts the counts
// and a table claiming more writes past its arrays, so such data is refused before decoding.
bool huffmanTablesSound(const std::vector<uint8_t>& jpeg) {
  size_t i = 0;
  while (i + 1 < jpeg.size()) {
    if (jpeg[i] != 0xFF || jpeg[i + 1] != 0xC4) {
      ++i;
      continue;
    }
    if (i + 3 >= jpeg.size()) return false;
    size_t end = i + 2 + ((size_t{jpeg[i + 2]} << 8) | jpeg[i + 3]);
    if (end > jpeg.size()) return false;
    for (size_t p = i + 4; p < end;) {
      if (p + 17 > end) return false;
      size_t codes = 0;
      for (size_t k = 1; k <= 16; ++k) codes += jpeg[p + k];
      if (codes > 256 || p + 17 + codes > end) return false;
      p += 17 + codes;
    }
    i = end;
  }
  return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> inflateExactly(std::span<const uint8_t> packed, size_t expected) {
  std::vector<uint8_t> out(expected);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return std::nullopt;
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(std::min<size_t>(packed.size(), UINT32_MAX));
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(expected);
  int status = expected ? inflate(&stream, Z_FINISH) : Z_STREAM_END;
  bool full = stream.avail_out == 0;
  inflateEnd(&stream);
  if (!full || (status != Z_STREAM_END && status != Z_OK && status != Z_BUF_ERROR)) return std::nullopt;
  return out;
}

std::optional<Bitmap> decodeLossless(uint8_t format, int width, int height, uint8_t colorTableSize,
                                     std::span<const uint8_t> packed, bool withAlpha, uint64_t pixelBudget) {
  if (!sizeAllowed(width, height, pixelBudget)) return std::nullopt;
  size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  Bitmap image(width, height);
  // Lossless data keeps its alpha premultiplied already; clamping keeps bad files well formed.
  auto clampPremultiplied = [](uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
  };
  if (format == 3) {
    size_t entries = size_t{colorTableSize} + 1, entryBytes = withAlpha ? 4 : 3, stride = (w + 3) & ~size_t{3};
    auto bytes = inflateExactly(packed, entries * entryBytes + stride * h);
    if (!bytes) return std::nullopt;
    std::vector<uint32_t> table(256, 0);
    for (size_t i = 0; i < entries; ++i) {
      const uint8_t* e = bytes->data() + i * entryBytes;
      table[i] = withAlpha ? clampPremultiplied(e[3], e[0], e[1], e[2]) : clampPremultiplied(255, e[0], e[1], e[2]);
    }
    const uint8_t* pixels = bytes->data() + entries * entryBytes;
    for (size_t y = 0; y < h; ++y) {
      for (size_t x = 0; x < w; ++x) image.row(static_cast<int>(y))[x] = table[pixels[y * stride + x]];
    }
  } else if (format == 4 && !withAlpha) {
    size_t stride = (w * 2 + 3) & ~size_t{3};
    auto bytes = inflateExactly(packed, stride * h);
    if (!bytes) return std::nullopt;
    for (size_t y = 0; y < h; ++y) {
      for (size_t x = 0; x < w; ++x) {
        uint32_t v = (uint32_t{(*bytes)[y * stride + 2 * x]} << 8) | (*bytes)[y * stride + 2 * x + 1];
        auto expand = [](uint32_t c) { return (c << 3) | (c >> 2); };
        image.row(static_cast<int>(y))[x] = clampPremultiplied(255, expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
      }
    }
  } else if (format == 5) {
    auto bytes = inflateExactly(packed, w * h * 4);
    if (!bytes) return std::nullopt;
    for (size_t i = 0; i < w * h; ++i) {
      const uint8_t* p = bytes->data() + i * 4;
      image.pixels[i] = clampPremultiplied(withAlpha ? p[0] : 255, p[1], p[2], p[3]);
    }
  } else {
    return std::nullopt;
  }
  return image;
}

std::optional<Bitmap> decodeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data,
                                 std::span<const uint8_t> packedAlpha, uint64_t pixelBudget) {
  std::vector<uint8_t> joined = joinJpegStreams(tables, data);
  if (joined.size() > INT32_MAX || !huffmanTablesSound(joined)) return std::nullopt;
  int width = 0, height = 0, channels = 0;
  int length = static_cast<int>(joined.size());
  if (!stbi_info_from_memory(joined.data(), length, &width, &height, &channels)) return std::nullopt;
  if (!sizeAllowed(width, height, pixelBudget)) return std::nullopt;
  unsigned char* decoded = stbi_load_from_memory(joined.data(), length, &width, &height, &channels, 4);
  if (!decoded) return std::nullopt;
  Bitmap image(width, height);
  size_t count = static_cast<size_t>(width) * height;
  std::optional<std::vector<uint8_t>> alpha;
  if (!packedAlpha.empty()) alpha = inflateExactly(packedAlpha, count);
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* p = decoded + i * 4;
    uint32_t a = alpha ? (*alpha)[i] : p[3];
    image.pixels[i] = premultiply((a << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]);
  }
  stbi_image_free(decoded);
  return image;
}

}  // namespace vexil::render
