#include "host/hostobjects/app_paths.h"

#include <cstdint>
#include <cstring>

#include "host/hostobjects/host_context.h"
#include "host/package/additional_files.h"
#include "host/package/movie_list.h"
#include "platform/file_system.h"

namespace vexil::hostobjects {
namespace {

constexpr uint32_t kMovieKind = 1;

// An archive is appended when the file's last four bytes are not zero.
bool carriesArchive(const std::string& exe) {
  platform::File file = platform::File::open(exe, platform::File::Mode::Read);
  if (!file.isOpen()) return false;
  int64_t size = file.size();
  if (size < 4 || !file.seek(size - 4)) return false;
  uint8_t marker[4] = {};
  if (!file.readExact(marker, 4)) return false;
  uint32_t word;
  std::memcpy(&word, marker, 4);
  return word != 0;
}

}  // namespace

std::string executableFile() { return platform::executablePath(); }

std::string applicationDirectory() {
  std::string dir = platform::directoryOf(executableFile());
  if (!dir.empty() && dir.back() == '/') dir.back() = '\\';
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

std::optional<std::string> firstMovieDirectory() {
  const package::MovieList* movies = hostContext().movies;
  if (!movies) return std::nullopt;
  for (const package::MovieEntry& entry : movies->entries) {
    if (entry.kind == kMovieKind) return platform::directoryOf(entry.path);
  }
  return std::nullopt;
}

// An attachments directory that already exists is as good as one made now.
std::optional<std::string> attachmentsDirectory() {
  const std::string& temp = hostContext().tempDir;
  std::string dir = !temp.empty() && carriesArchive(executableFile()) ? temp + "_extra\\" : applicationDirectory();
  if (!platform::createDirectory(dir.substr(0, dir.size() - 1))) return std::nullopt;
  return dir;
}

std::string additionalFile(const std::string& name) {
  return package::getAdditionalFile(executableFile(), hostContext().tempDir, name);
}

}  // namespace vexil::hostobjects
