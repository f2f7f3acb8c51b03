// The parts of StdioFile that are plain C runtime calls, the same on every system. Opening, the
// temporary file and the descriptor operations live with each implementation.
#include <utility>

#include "platform/stdio_file.h"

namespace vexil::platform {

namespace {

int seek64(FILE* file, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET);
#else
  return fseeko(file, offset, SEEK_SET);
#endif
}

int64_t tell64(FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

}  // namespace

StdioFile::StdioFile(StdioFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), direction_(std::exchange(other.direction_, Direction::None)) {}

StdioFile& StdioFile::operator=(StdioFile&& other) noexcept {
  if (this != &other) {
    close();
    file_ = std::exchange(other.file_, nullptr);
    direction_ = std::exchange(other.direction_, Direction::None);
  }
  return *this;
}

StdioFile::~StdioFile() { close(); }

bool StdioFile::isValidMode(std::string_view mode) {
  if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
  int plus = 0, binary = 0;
  for (char c : mode.substr(1)) {
    if (c == '+') {
      ++plus;
    } else if (c == 'b') {
      ++binary;
    } else {
      return false;
    }
  }
  return plus <= 1 && binary <= 1;
}

// Switching between reading and writing needs a positioning call: seeking to where the stream
// stands is one that moves nothing (a pushed-back byte counts as not yet read, so a write lands on
// its place).
void StdioFile::turnTo(Direction direction) {
  if (direction_ != Direction::None && direction_ != direction) {
    int64_t here = tell64(file_);
    if (here >= 0) seek64(file_, here);
  }
  direction_ = direction;
}

int StdioFile::getByte() {
  if (!file_) return EOF;
  turnTo(Direction::Reading);
  return std::fgetc(file_);
}

bool StdioFile::ungetByte(uint8_t byte) {
  if (!file_) return false;
  turnTo(Direction::Reading);
  return std::ungetc(byte, file_) != EOF;
}

size_t StdioFile::read(void* data, size_t size) {
  if (!file_ || size == 0) return 0;
  turnTo(Direction::Reading);
  return std::fread(data, 1, size, file_);
}

size_t StdioFile::write(const void* data, size_t size) {
  if (!file_ || size == 0) return 0;
  turnTo(Direction::Writing);
  return std::fwrite(data, 1, size, file_);
}

bool StdioFile::putByte(uint8_t byte) {
  if (!file_) return false;
  turnTo(Direction::Writing);
  return std::fputc(byte, file_) != EOF;
}

bool StdioFile::flush() { return file_ && std::fflush(file_) == 0; }

bool StdioFile::atEnd() const { return file_ && std::feof(file_) != 0; }

int64_t StdioFile::position() const { return file_ ? tell64(file_) : -1; }

// A seek ends the end-of-file state; not every runtime's 64-bit seek says so itself.
bool StdioFile::seek(int64_t offset) {
  if (!file_ || offset < 0 || seek64(file_, offset) != 0) return false;
  std::clearerr(file_);
  direction_ = Direction::None;
  return true;
}

int64_t StdioFile::length() {
  if (!file_) return -1;
  if (direction_ == Direction::Writing) std::fflush(file_);
  return descriptorLength();
}

// Flushing writes out pending bytes and, on an input stream, drops read-ahead that may describe
// bytes the cut removes (a later seek inside that buffer would otherwise still find them).
bool StdioFile::truncate(int64_t size) {
  if (!file_ || size < 0) return false;
  int64_t here = tell64(file_);
  if (std::fflush(file_) != 0) return false;
  bool cut = descriptorTruncate(size);
  if (here >= 0) seek64(file_, here);
  direction_ = Direction::None;
  return cut;
}

bool StdioFile::close() {
  direction_ = Direction::None;
  return !file_ || std::fclose(std::exchange(file_, nullptr)) == 0;
}

}  // namespace vexil::platform
