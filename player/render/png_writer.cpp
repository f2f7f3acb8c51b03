#include "player/render/png_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace vexil::render {
namespace {

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  appendU32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  appendU32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> encodePng(const Bitmap& image) {
  std::vector<uint8_t> raw;
  raw.reserve((static_cast<size_t>(image.width) * 4 + 1) * image.height);
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // no row filter
    for (int x = 0; x < image.width; ++x) {
      uint32_t argb = unpremultiply(image.at(x, y));
      raw.insert(raw.end(), {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                             static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)});
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
    throw std::runtime_error("png compression failed");
  }
  packed.resize(size);
  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  appendU32(header, static_cast<uint32_t>(image.width));
  appendU32(header, static_cast<uint32_t>(image.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  appendChunk(out, "IHDR", header);
  appendChunk(out, "IDAT", packed);
  appendChunk(out, "IEND", {});
  return out;
}

}  // namespace vexil::render
