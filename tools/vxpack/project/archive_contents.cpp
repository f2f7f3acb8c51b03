#include "tools/vxpack/project/archive_contents.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace vexil::project {

namespace {

constexpr int kMaxDepth = 32;

struct Broken : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Walker {
 public:
  Walker(std::span<const uint8_t> bytes, ArchiveContents& out) : bytes_(bytes), out_(out) {}

  uint32_t u32(size_t& at, size_t end) {
    if (end - at < 4) throw Broken("truncated entry");
    uint32_t v = uint32_t(bytes_[at]) | uint32_t(bytes_[at + 1]) << 8 | uint32_t(bytes_[at + 2]) << 16 |
                 uint32_t(bytes_[at + 3]) << 24;
    at += 4;
    return v;
  }

  std::string text(size_t& at, size_t end) {
    uint64_t units = u32(at, end);
    if (units * 2 > end - at) throw Broken("truncated name");
    std::string out;
    for (uint64_t i = 0; i < units; ++i, at += 2) {
      uint16_t c = uint16_t(bytes_[at] | bytes_[at + 1] << 8);
      if (c == 0) {
        at += 2 * (units - i);
        break;
      }
      out += c < 0x80 ? char(c) : '?';
    }
    return out;
  }

  void level(size_t at, size_t end, const std::string& prefix, int depth) {
    if (depth > kMaxDepth) throw Broken("folders nested too deeply");
    while (at < end) {
      uint32_t type = u32(at, end);
      std::string name = prefix + text(at, end);
      uint32_t size = u32(at, end);
      if (size > end - at) throw Broken(name + ": entry larger than its folder");
      ArchiveEntry entry{name, type != 0, 0};
      if (entry.folder) {
        out_.entries.push_back(entry);
        level(at, at + size, name + "/", depth + 1);
      } else {
        entry.size = inflated(name, bytes_.subspan(at, size));
        out_.entries.push_back(entry);
      }
      at += size;
    }
  }

  // The inflated size of a file's zlib stream, checked against the CRC-32 after it.
  uint64_t inflated(const std::string& name, std::span<const uint8_t> stored) {
    if (stored.size() < 4) throw Broken(name + ": no room for its checksum");
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw Broken("cannot start decompression");
    z.next_in = const_cast<Bytef*>(stored.data());
    z.avail_in = uInt(stored.size() - 4);
    uint8_t buffer[16384];
    uLong crc = crc32(0, nullptr, 0);
    uint64_t total = 0;
    int status = Z_OK;
    while (status == Z_OK) {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      status = inflate(&z, Z_NO_FLUSH);
      size_t produced = sizeof buffer - z.avail_out;
      crc = crc32(crc, buffer, uInt(produced));
      total += produced;
      if (status == Z_BUF_ERROR || (status == Z_OK && produced == 0 && z.avail_in == 0)) break;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) throw Broken(name + ": damaged compressed data");
    const uint8_t* c = stored.data() + stored.size() - 4;
    uint32_t expected = uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16 | uint32_t(c[3]) << 24;
    if (expected != uint32_t(crc)) throw Broken(name + ": checksum does not match its contents");
    return total;
  }

 private:
  std::span<const uint8_t> bytes_;
  ArchiveContents& out_;
};

}  // namespace

ArchiveContents listArchive(std::span<const uint8_t> file) {
  ArchiveContents out;
  size_t n = file.size();
  if (n < 8) return out;
  auto word = [&](size_t at) {
    return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 3]) << 24;
  };
  if (word(n - 4) == 0) return out;
  uint32_t length = word(n - 8);
  if (length > n - 8 || length < 4 || file[n - 8 - length] != 'L' || file[n - 7 - length] != 'A' ||
      file[n - 6 - length] != 'F' || file[n - 5 - length] != 0)
    return out;  // the runtime sees no archive either
  out.present = true;
  size_t at = n - 8 - length + 4, end = n - 8;
  Walker walker(file.subspan(0, end), out);
  try {
    if (walker.u32(at, end) == 0) throw Broken("archive header word is 0");
    std::string root = walker.text(at, end);
    std::string folded;
    for (char c : root) folded += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (folded != "application")
      throw Broken("archive root is \"" + root + "\", not \"Application\"");
    uint32_t rootSize = walker.u32(at, end);
    if (rootSize > end - at) throw Broken("archive root larger than the archive");
    walker.level(at, at + rootSize, "", 0);
  } catch (const Broken& e) {
    out.problem = e.what();
  }
  return out;
}

}  // namespace vexil::project
