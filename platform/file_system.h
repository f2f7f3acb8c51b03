#pragma once
// The file services portable code needs. Paths are ANSI texts in Windows form (backslash
// separators, as the package formats build them); the POSIX implementation maps them to its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::platform {

bool fileExists(std::string_view path);       // a file or a directory
bool directoryExists(std::string_view path);
bool createDirectory(std::string_view path);  // one level; true if it exists afterwards
bool deleteFile(std::string_view path);
// Removes every entry below the directory (files and sub-directories, recursively), then the
// directory itself. Returns false if anything remained.
bool deleteTree(std::string_view path);

std::optional<std::vector<uint8_t>> readWholeFile(std::string_view path);
bool writeWholeFile(std::string_view path, const void* data, size_t size);  // create or truncate

// The full path of the running executable, and the directory part of a path including its
// trailing separator ("C:\a\b.exe" -> "C:\a\").
std::string executablePath();
std::string directoryOf(std::string_view path);

// A file opened for binary reading or writing, closed by its destructor.
class File {
 public:
  enum class Mode { Read, Write };
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  static File open(std::string_view path, Mode mode);
  bool isOpen() const { return handle_ != nullptr; }
  // Reads up to size bytes; returns the count read (0 at end of file or on error).
  size_t read(void* data, size_t size);
  bool readExact(void* data, size_t size) { return read(data, size) == size; }
  bool write(const void* data, size_t size);
  bool seek(int64_t offset);  // from the start
  int64_t tell() const;
  int64_t size() const;
  bool close();  // false if buffered data could not be written

 private:
  void* handle_ = nullptr;  // a C runtime FILE
};

}  // namespace vexil::platform
