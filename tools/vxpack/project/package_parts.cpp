#include "tools/vxpack/project/package_parts.h"

#include <zlib.h>

#include <stdexcept>

#include "host/package/byte_writer.h"
#include "host/package/text_item.h"

namespace vexil::project {

using vexil::package::ByteWriter;

std::vector<uint8_t> identityBytes(const std::string& text) {
  ByteWriter out;
  vexil::package::writeTextItem(out, text);
  auto item = out.take();
  std::vector<uint8_t> bytes(item.begin() + 4, item.end());  // the text without its count
  bytes.resize(bytes.size() + 32, 0);                        // reserved for the packager
  return bytes;
}

std::vector<uint8_t> settingsStamp(std::span<const uint8_t> b) {
  size_t half = b.size() / 2;
  ByteWriter out;
  out.u32(uint32_t(crc32(0, b.data(), uInt(b.size()))));
  out.u32(uint32_t(adler32(1, b.data(), uInt(b.size()))));
  out.u32(uint32_t(crc32(0, b.data(), uInt(half))));
  out.u32(uint32_t(b.size()));
  return out.take();
}

std::vector<uint8_t> solidBitmap(uint32_t w, uint32_t h, uint32_t rgb) {
  uint32_t stride = (w * 3 + 3) & ~3u, image = stride * h;
  ByteWriter out;
  out.u8('B');
  out.u8('M');
  for (uint32_t v : {54 + image, 0u, 54u, 40u, w, h}) out.u32(v);
  out.u16(1);
  out.u16(24);
  for (uint32_t v : {0u, image, 2835u, 2835u, 0u, 0u}) out.u32(v);
  std::vector<uint8_t> row;
  for (uint32_t x = 0; x < w; ++x) row.insert(row.end(), {uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16)});
  row.resize(stride, 0);
  for (uint32_t y = 0; y < h; ++y) out.bytes(row);
  return out.take();
}

std::vector<uint8_t> encodeBlobInSteps(std::span<const uint8_t> data, const Progress& progress) {
  constexpr size_t kStep = 1 << 20;
  z_stream z{};
  if (deflateInit(&z, 9) != Z_OK) throw std::runtime_error("cannot start compression");
  std::vector<uint8_t> out(16 + deflateBound(&z, uLong(data.size())));
  z.next_out = out.data() + 16;
  z.avail_out = uInt(out.size() - 16);
  size_t done = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    size_t step = std::min(kStep, data.size() - done);
    z.next_in = const_cast<Bytef*>(data.data() + done);
    z.avail_in = uInt(step);
    done += step;
    status = deflate(&z, done == data.size() ? Z_FINISH : Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) {
      deflateEnd(&z);
      throw std::runtime_error("compression failed");
    }
    if (progress && data.size() > 0) progress(int(done * 100 / data.size()));
  }
  size_t compressed = z.total_out;
  deflateEnd(&z);
  out.resize(16 + compressed);
  ByteWriter header;
  header.u8('S');
  header.u8('M');
  header.u16(1);
  header.u32(uint32_t(data.size()));
  header.u32(uint32_t(compressed));
  header.u32(uint32_t(crc32(0, data.data(), uInt(data.size()))));
  auto h = header.take();
  std::copy(h.begin(), h.end(), out.begin());
  return out;
}

}  // namespace vexil::project
