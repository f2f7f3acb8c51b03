// The parts of the file layer that are the same on every system: the C runtime FILE wrapper
// (opening differs and lives with each implementation) and path splitting.
#include <cstdio>
#include <utility>

#include "platform/file_system.h"

namespace vexil::platform {

static FILE* fileOf(void* handle) { return static_cast<FILE*>(handle); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

File::~File() { close(); }

bool File::close() {
  return !handle_ || std::fclose(fileOf(std::exchange(handle_, nullptr))) == 0;
}

size_t File::read(void* data, size_t size) {
  return handle_ && size ? std::fread(data, 1, size, fileOf(handle_)) : 0;
}

bool File::write(const void* data, size_t size) {
  return handle_ && (size == 0 || std::fwrite(data, 1, size, fileOf(handle_)) == size);
}

bool File::seek(int64_t offset) {
  if (!handle_ || offset < 0) return false;
#ifdef _WIN32
  return _fseeki64(fileOf(handle_), offset, SEEK_SET) == 0;
#else
  return fseeko(fileOf(handle_), offset, SEEK_SET) == 0;
#endif
}

int64_t File::tell() const {
  if (!handle_) return -1;
#ifdef _WIN32
  return _ftelli64(fileOf(handle_));
#else
  return ftello(fileOf(handle_));
#endif
}

int64_t File::size() const {
  if (!handle_) return -1;
  FILE* f = fileOf(handle_);
  int64_t here = tell();
#ifdef _WIN32
  _fseeki64(f, 0, SEEK_END);
  int64_t end = _ftelli64(f);
  _fseeki64(f, here, SEEK_SET);
#else
  fseeko(f, 0, SEEK_END);
  int64_t end = ftello(f);
  fseeko(f, here, SEEK_SET);
#endif
  return end;
}

std::optional<std::vector<uint8_t>> readWholeFile(std::string_view path) {
  File file = File::open(path, File::Mode::Read);
  int64_t size = file.size();
  if (!file.isOpen() || size < 0) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!file.readExact(bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

bool writeWholeFile(std::string_view path, const void* data, size_t size) {
  File file = File::open(path, File::Mode::Write);
  return file.isOpen() && file.write(data, size) && file.close();
}

std::string directoryOf(std::string_view path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

}  // namespace vexil::platform
