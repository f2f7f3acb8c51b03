#include "host/package/archive_writer.h"

#include <zlib.h>

#include "host/package/byte_writer.h"
#include "host/package/text_item.h"

namespace vexil::package {

static std::vector<uint8_t> entriesOf(const std::vector<ArchiveNode>& nodes);

static std::vector<uint8_t> fileBody(const std::vector<uint8_t>& contents) {
  uLongf size = compressBound(uLong(contents.size()));
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, contents.data(), uLong(contents.size()), 9);
  packed.resize(size);
  ByteWriter out;
  out.bytes(packed);
  out.u32(uint32_t(crc32(0L, contents.data(), uInt(contents.size()))));
  return out.take();
}

static std::vector<uint8_t> entriesOf(const std::vector<ArchiveNode>& nodes) {
  ByteWriter out;
  for (const auto& node : nodes) {
    std::vector<uint8_t> body = node.folder ? entriesOf(node.children) : fileBody(node.contents);
    out.u32(node.folder ? 1 : 0);
    writeTextItem(out, node.name);
    out.u32(uint32_t(body.size()));
    out.bytes(body);
  }
  return out.take();
}

std::vector<uint8_t> buildArchive(const std::vector<ArchiveNode>& root) {
  std::vector<uint8_t> entries = entriesOf(root);
  ByteWriter out;
  for (uint8_t b : {0x4C, 0x41, 0x46, 0x00}) out.u8(b);
  out.u32(1);
  writeTextItem(out, std::string("Application"));
  out.u32(uint32_t(entries.size()));
  out.bytes(entries);
  uint32_t length = uint32_t(out.data().size());
  out.u32(length);
  out.u32(1);
  return out.take();
}

}  // namespace vexil::package
