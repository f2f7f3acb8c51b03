#pragma once
// The compiler's byte stream. One type serves four kinds: a text to read, a growable memory buffer
// to write (the diagnostics text, the compiled bytes), a file to read through a 4096-byte buffer,
// and a file to write through one. Reading gives 0 at the end of input, so the lexer needs no other
// end test; bytes pushed back are read again before anything else, last pushed first.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace vexil::script {

struct Engine;

enum class StreamKind : uint8_t { StringSource = 0, MemoryBuffer = 1, FileSource = 2, FileSink = 3 };

inline constexpr size_t kFileBufferSize = 4096;
inline constexpr size_t kPushBackGrowth = 32;
inline constexpr size_t kMemoryBufferGrowth = 64;
inline constexpr char kStringStreamName[] = "string";
inline constexpr char kCannotOpenScriptFile[] = "can't open the script file: ";

class ScriptStream {
 public:
  // A memory buffer, empty.
  ScriptStream();
  // A string source over text held by the caller; reading stops at its first NUL byte.
  explicit ScriptStream(std::string_view text);
  ScriptStream(const ScriptStream&) = delete;
  ScriptStream& operator=(const ScriptStream&) = delete;
  ~ScriptStream();

  // A file source. When the file cannot be opened, "can't open the script file: <path>" and a
  // newline are appended to the engine's message text and the answer is null.
  static std::unique_ptr<ScriptStream> openFileSource(Engine& engine, std::string_view path);
  // A file sink, created or truncated; null when the file cannot be created.
  static std::unique_ptr<ScriptStream> openFileSink(std::string_view path);

  StreamKind kind() const { return kind_; }
  const std::string& name() const { return name_; }

  // The next byte (0 to 255), or 0 at the end of input.
  int getByte() {
    if (pushedBack_.empty() && position_ < limit_) return static_cast<unsigned char>(data_[position_++]);
    return getByteSlow();
  }
  void ungetByte(int byte);
  int peekByte() {
    int byte = getByte();
    ungetByte(byte);
    return byte;
  }

  // Writes one argument per format letter, upper or lower case alike:
  //   a int        32-bit integer as decimal text
  //   b int, ptr   that many raw bytes
  //   c int        one byte
  //   d double     the 8 bytes of the double, little-endian
  //   f double     text in the form of "%f"
  //   i int        16-bit integer, big-endian
  //   l int        32-bit integer, big-endian (an int32_t or uint32_t)
  //   s char*      a NUL-terminated text without its NUL
  //   x int, ptr   the count as a big-endian 32-bit integer, then the bytes
  // Returns 1, or 0 when a write failed (a memory buffer that cannot grow, a full disk, a source
  // stream, an unknown letter).
  int write(const char* format, ...);
  // Raw bytes, for callers that have them at hand; true on success.
  bool writeBytes(const void* data, size_t size);

  // A file sink writes out its buffer; true on success (and for every other kind).
  bool flush();
  // Back to the start: a source is read again, a memory buffer is emptied. Pushed-back bytes are
  // dropped and the line counter starts again at 0.
  void rewind();
  // Flushes a sink and releases the file or buffer; later reads give 0 and writes fail.
  bool close();

  // What a memory buffer holds.
  std::string_view contents() const {
    return kind_ == StreamKind::MemoryBuffer ? std::string_view(buffer_, length_) : std::string_view();
  }

  // The source line counter, kept by the lexer.
  int32_t line = 0;

 private:
  explicit ScriptStream(StreamKind kind, std::string name);
  int getByteSlow();
  bool fillFileBuffer();
  bool appendToMemory(const void* data, size_t size);
  bool appendToFile(const void* data, size_t size);

  StreamKind kind_;
  std::string name_;
  // Reading: data_[position_ .. limit_) is what is left to read without a refill.
  const char* data_ = nullptr;
  size_t position_ = 0;
  size_t limit_ = 0;
  std::vector<uint8_t> pushedBack_;
  // Memory buffer (length_ used of capacity_) or a file's buffer.
  char* buffer_ = nullptr;
  size_t length_ = 0;
  size_t capacity_ = 0;
  platform::File file_;
};

}  // namespace vexil::script
