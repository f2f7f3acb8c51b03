#pragma once
// A C runtime FILE stream opened for update, owned by its wrapper: the file behind script streams.
// Reads and writes may follow each other in any order: the C runtime requires a positioning call
// between a write and a read (and back), and the wrapper makes that call itself, so a caller can
// never hit the undefined behaviour (or the corrupted buffers some runtimes produce) of skipping it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace vexil::platform {

class StdioFile {
 public:
  StdioFile() = default;
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;
  StdioFile(StdioFile&& other) noexcept;
  StdioFile& operator=(StdioFile&& other) noexcept;
  ~StdioFile();

  // Opens a path (ANSI, Windows form) with a C runtime mode the caller has checked with
  // isValidMode; a closed wrapper on failure.
  static StdioFile open(std::string_view path, std::string_view mode);
  // A new empty file in the temporary directory, created exclusively for this process, opened for
  // binary reading and writing and deleted when it is closed (or when the process ends).
  static StdioFile openTemporary();
  // "r", "w" or "a", then at most one "+" and at most one "b", in either order. Anything else is
  // refused: some C runtimes abort the process on a mode they do not know.
  static bool isValidMode(std::string_view mode);

  bool isOpen() const { return file_ != nullptr; }

  int getByte();                  // 0-255, or EOF
  bool ungetByte(uint8_t byte);   // one byte of push-back is guaranteed
  size_t read(void* data, size_t size);
  size_t write(const void* data, size_t size);
  bool putByte(uint8_t byte);
  bool flush();
  bool atEnd() const;             // the stream's end-of-file indicator

  int64_t position() const;       // -1 on failure
  bool seek(int64_t offset);      // from the start
  // The length the operating system reports for the file, after writing out buffered data.
  int64_t length();
  // Cuts the file to size bytes (buffered data is written first); the position is left alone.
  bool truncate(int64_t size);
  bool close();  // false if buffered data could not be written

 private:
  enum class Direction { None, Reading, Writing };
  explicit StdioFile(FILE* file) : file_(file) {}
  void turnTo(Direction direction);
  int64_t descriptorLength() const;  // per system
  bool descriptorTruncate(int64_t size);

  FILE* file_ = nullptr;
  Direction direction_ = Direction::None;
};

}  // namespace vexil::platform
