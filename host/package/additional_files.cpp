#include "host/package/additional_files.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "host/package/safe_name.h"
#include "host/package/text_item.h"
#include "platform/file_system.h"
#include "platform/text_case.h"

namespace vexil::package {

namespace {

using platform::File;

inline constexpr size_t kInflateStep = 4096;

// Reads the archive's records from the executable file; every read is checked against the end
// of the level it belongs to.
class ArchiveReader {
 public:
  explicit ArchiveReader(File& file) : file_(file) {}

  bool u32(uint32_t& v) {
    uint8_t b[4];
    if (!file_.readExact(b, 4)) return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
  }

  // A text item, limited to the bytes left before end.
  bool text(Text& out, int64_t end) {
    uint8_t count[4];
    if (!file_.readExact(count, 4)) return false;
    int64_t n = int64_t(count[0] | count[1] << 8 | count[2] << 16) | int64_t(count[3]) << 24;
    if (n * 2 > end - file_.tell()) return false;
    std::vector<uint8_t> item(count, count + 4);
    item.resize(4 + size_t(n) * 2);
    if (!file_.readExact(item.data() + 4, item.size() - 4)) return false;
    ByteReader in(item);
    out = readTextItem(in);
    return true;
  }

  struct Entry {
    uint32_t type = 0;
    Text name;
    int64_t start = 0;  // first byte of the entry's contents
    int64_t end = 0;
  };

  // Reads the next entry header of a level ending at end; false when the level is exhausted or
  // the entry does not fit in it.
  bool entry(Entry& e, int64_t end) {
    uint32_t size;
    if (end - file_.tell() < 12 || !u32(e.type) || !text(e.name, end) || !u32(size)) return false;
    e.start = file_.tell();
    e.end = e.start + size;
    return e.end <= end;
  }

  File& file() { return file_; }

 private:
  File& file_;
};

// Opens the trailer and finds the root level; returns false when there is no archive.
bool findRoot(ArchiveReader& in, int64_t& rootStart, int64_t& rootEnd) {
  File& f = in.file();
  int64_t size = f.size();
  uint32_t length, marker, word, rootSize;
  if (size < 8 || !f.seek(size - 8) || !in.u32(length) || !in.u32(marker) || marker == 0) return false;
  int64_t bodyStart = size - 8 - int64_t(length);
  uint8_t magic[4];
  if (bodyStart < 0 || !f.seek(bodyStart) || !f.readExact(magic, 4)) return false;
  if (magic[0] != 0x4C || magic[1] != 0x41 || magic[2] != 0x46 || magic[3] != 0) return false;
  Text label;
  int64_t bodyEnd = size - 8;
  if (!in.u32(word) || word == 0 || !in.text(label, bodyEnd) || !label || !platform::equalsIgnoringAsciiCase(*label, "Application"))
    return false;
  if (!in.u32(rootSize)) return false;
  rootStart = f.tell();
  rootEnd = rootStart + rootSize;
  return rootEnd <= bodyEnd;
}

// Inflates a file entry into target, checking the stored CRC-32. A failed file is removed.
bool extractFile(File& in, const ArchiveReader::Entry& e, const std::string& target) {
  if (e.end - e.start < 4) return false;
  File out = File::open(target, File::Mode::Write);
  if (!out.isOpen()) return false;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    out.close();
    platform::deleteFile(target);
    return false;
  }
  uint8_t input[kInflateStep], output[kInflateStep];
  int64_t left = e.end - e.start - 4;
  uLong crc = crc32(0L, Z_NULL, 0);
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      size_t want = size_t(std::min<int64_t>(left, kInflateStep));
      if (want == 0 || !in.readExact(input, want)) break;
      left -= int64_t(want);
      z.next_in = input;
      z.avail_in = uInt(want);
    }
    z.next_out = output;
    z.avail_out = kInflateStep;
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    size_t produced = kInflateStep - z.avail_out;
    crc = crc32(crc, output, uInt(produced));
    if (!out.write(output, produced)) break;
  }
  inflateEnd(&z);
  uint32_t stored;
  bool ok = rc == Z_STREAM_END && in.seek(e.end - 4) && ArchiveReader(in).u32(stored) && stored == uint32_t(crc);
  ok = out.close() && ok;
  if (!ok) platform::deleteFile(target);
  return ok;
}

// Extracts an entry (a file, or a folder with everything inside) under dir. An existing file is
// kept as it is: it was extracted intact before.
bool extractEntry(ArchiveReader& in, const ArchiveReader::Entry& e, const std::string& dir) {
  if (!e.name || !isSafeFileName(*e.name)) return false;
  std::string target = dir + *e.name;
  if (target.size() > kMaxPathLength) return false;
  if (e.type == 0) return platform::fileExists(target) || extractFile(in.file(), e, target);
  if (!platform::createDirectory(target)) return false;
  in.file().seek(e.start);
  ArchiveReader::Entry child;
  while (in.entry(child, e.end)) {
    extractEntry(in, child, target + '\\');
    if (!in.file().seek(child.end)) return false;
  }
  return true;
}

std::vector<std::string> componentsOf(const std::string& name) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= name.size()) {
    size_t cut = name.find('\\', start);
    if (cut == std::string::npos) cut = name.size();
    if (cut > start) parts.push_back(name.substr(start, cut - start));
    start = cut + 1;
  }
  return parts;
}

std::string besideExecutable(const std::string& exePath, const std::string& name) {
  std::string path = platform::directoryOf(exePath) + name.substr(std::min(name.find_first_not_of('\\'), name.size()));
  return platform::fileExists(path) ? path : std::string();
}

}  // namespace

std::string getAdditionalFile(const std::string& exePath, const std::string& tempDir, std::string name) {
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  File file = File::open(exePath, File::Mode::Read);
  ArchiveReader in(file);
  int64_t levelStart, levelEnd;
  if (!file.isOpen() || !findRoot(in, levelStart, levelEnd)) return besideExecutable(exePath, name);

  std::string dir = tempDir + "_extra\\";
  if (!platform::createDirectory(dir)) return {};
  std::vector<std::string> parts = componentsOf(name);
  for (size_t i = 0; i < parts.size(); ++i) {
    bool last = i + 1 == parts.size();
    ArchiveReader::Entry e;
    file.seek(levelStart);
    for (;;) {
      if (!in.entry(e, levelEnd)) return {};
      if (e.name && platform::equalsIgnoringAsciiCase(*e.name, parts[i])) break;
      if (!file.seek(e.end)) return {};
    }
    if (last || e.type == 0) {
      if (!last || !extractEntry(in, e, dir)) return {};
      return dir + *e.name;
    }
    if (!isSafeFileName(*e.name) || !platform::createDirectory(dir + *e.name)) return {};
    dir += *e.name + '\\';
    levelStart = e.start;
    levelEnd = e.end;
  }
  return {};
}

}  // namespace vexil::package
