#include "host/package/movie_list.h"

#include "host/package/safe_name.h"
#include "host/package/text_item.h"
#include "platform/file_system.h"

namespace vexil::package {

namespace {

inline constexpr const char* kPlugInsDir = "Plug_Ins\\";

// Reads one embedded entry and writes its file. Returns false when the list must end.
bool readEmbeddedEntry(MovieList& list, ByteReader& in, const std::string& tempDir) {
  uint32_t kind = in.u32();
  Text name = readTextItem(in);
  uint32_t size = in.u32();
  auto bytes = in.bytes(size);
  if (in.failed()) return false;
  if (!name || !isSafeRelativeName(*name)) return true;  // refused; the rest may still be good
  std::string dir = tempDir;
  if (kind == kEntryPlugIn) {
    dir += kPlugInsDir;
    if (!platform::createDirectory(dir)) return false;
  }
  std::string target = dir + *name;
  if (target.size() > kMaxPathLength) return true;
  if (!platform::writeWholeFile(target, bytes.data(), bytes.size())) return false;
  list.entries.push_back({target, kind});
  return true;
}

bool readExternalEntry(MovieList& list, ByteReader& in, const std::string& exeDir) {
  uint32_t kind = in.u32();
  Text name = readTextItem(in);
  if (in.failed()) return false;
  if (kind != kEntryMovie || !name) return true;
  std::string target = exeDir + *name;
  if (target.size() <= kMaxPathLength) list.entries.push_back({target, kind});
  return true;
}

}  // namespace

void loadMovieListStream(MovieList& list, std::span<const uint8_t> stream, const std::string& tempDir,
                         const std::string& exeDir) {
  ByteReader in(stream);
  list.flags = in.u32();
  uint32_t count = in.u32();
  if (in.failed()) {
    list.flags = 0;
    return;
  }
  bool embedded = list.flags & kMovieListEmbedded;
  for (uint32_t i = 0; i < count; ++i) {
    bool more = embedded ? readEmbeddedEntry(list, in, tempDir) : readExternalEntry(list, in, exeDir);
    if (!more) break;
  }
}

void loadMovieList(MovieList& list, const ResourceSource& source, const std::string& tempDir,
                   const std::string& exeDir) {
  list = MovieList();
  if (auto stream = decodeResource(source, "ML", "LUMARC")) loadMovieListStream(list, *stream, tempDir, exeDir);
}

}  // namespace vexil::package
