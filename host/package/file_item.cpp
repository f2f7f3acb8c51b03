#include "host/package/file_item.h"

#include "host/package/safe_name.h"
#include "platform/file_system.h"

namespace vexil::package {

Text readFileItem(ByteReader& in, const std::string& tempDir) {
  Text name = readTextItem(in);
  uint32_t count = in.u32();
  auto bytes = in.bytes(count);
  if (in.failed() || count == 0 || !name || !isSafeFileName(*name)) return std::nullopt;
  std::string path = tempDir + *name;
  if (path.size() > kMaxPathLength) return std::nullopt;
  if (!platform::writeWholeFile(path, bytes.data(), bytes.size())) return std::nullopt;
  return path;
}

void writeFileItem(ByteWriter& out, const Text& path) {
  std::optional<std::vector<uint8_t>> contents;
  if (path) contents = platform::readWholeFile(*path);
  if (!contents) {
    writeTextItem(out, std::string());
    out.u32(0);
    return;
  }
  size_t cut = path->find_last_of("\\/");
  writeTextItem(out, path->substr(cut == std::string::npos ? 0 : cut + 1));
  out.u32(uint32_t(contents->size()));
  out.bytes(*contents);
}

}  // namespace vexil::package
