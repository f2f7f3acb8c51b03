#include "host/package/package_blob.h"

#include <zlib.h>

#include <algorithm>

#include "host/package/byte_reader.h"
#include "host/package/byte_writer.h"

namespace vexil::package {

std::string BlobError::describe() const {
  return message.empty() ? "zlib error " + std::to_string(zlibCode) : message;
}

namespace {

// Owns a zlib inflate stream for the length of one decode.
struct Inflater {
  z_stream stream{};
  int init = inflateInit(&stream);
  ~Inflater() {
    if (init == Z_OK) inflateEnd(&stream);
  }
};

// One-call inflate with zlib's uncompress results, but growing the output as bytes arrive.
BlobResult inflateBounded(std::span<const uint8_t> input, uint32_t declared) {
  Inflater z;
  if (z.init != Z_OK) return BlobError{{}, z.init};
  z.stream.next_in = const_cast<Bytef*>(input.data());
  z.stream.avail_in = uInt(input.size());

  std::vector<uint8_t> out;
  size_t produced = 0;
  uint8_t spill;  // once the declared size is full, any further byte proves the stream too long
  for (;;) {
    bool full = produced == declared;
    if (!full && produced == out.size()) {
      out.resize(std::min<size_t>(declared, std::max<size_t>(out.size() * 2, 65536)));
    }
    z.stream.next_out = full ? &spill : out.data() + produced;
    z.stream.avail_out = full ? 1 : uInt(out.size() - produced);
    uInt room = z.stream.avail_out;
    int rc = inflate(&z.stream, Z_NO_FLUSH);
    size_t wrote = room - z.stream.avail_out;
    if (full && wrote) return BlobError{{}, Z_BUF_ERROR};
    produced += full ? 0 : wrote;
    if (rc == Z_STREAM_END) {
      out.resize(produced);
      return out;
    }
    if (rc == Z_NEED_DICT) return BlobError{{}, Z_DATA_ERROR};
    if (rc != Z_OK) return BlobError{{}, rc};  // Z_BUF_ERROR here: the input ended early
  }
}

}  // namespace

BlobResult decodeBlob(std::span<const uint8_t> resource) {
  if (resource.size() <= kBlobHeaderSize) return BlobError{kBadBlobLength};
  ByteReader in(resource);
  uint8_t m0 = in.u8(), m1 = in.u8();
  uint16_t version = in.u16();
  if (m0 != 'S' || m1 != 'M' || version != 1) return BlobError{kBadBlobHeader};
  uint32_t decompressed = in.u32();
  uint32_t compressed = in.u32();
  in.u32();  // CRC-32, carried only
  if (resource.size() - kBlobHeaderSize < compressed) return BlobError{kBadBlobLength};
  return inflateBounded(resource.subspan(kBlobHeaderSize, compressed), decompressed);
}

std::vector<uint8_t> encodeBlob(std::span<const uint8_t> data, int level) {
  uLongf size = compressBound(uLong(data.size()));
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, data.data(), uLong(data.size()), level);
  packed.resize(size);

  ByteWriter out;
  out.u8('S');
  out.u8('M');
  out.u16(1);
  out.u32(uint32_t(data.size()));
  out.u32(uint32_t(packed.size()));
  out.u32(uint32_t(crc32(0L, data.data(), uInt(data.size()))));
  out.bytes(packed);
  return out.take();
}

}  // namespace vexil::package
