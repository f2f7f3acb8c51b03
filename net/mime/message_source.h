#pragma once
// A message's bytes as the reader asks for them, by offset: straight from memory, or through a
// window refilled from a file. Reading a message file this way keeps memory flat however large
// its parts: the reader scans lines and header blocks and keeps only their offsets.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vexil::net::mime {

class MessageSource {
 public:
  // Reads up to `length` bytes at `offset` into `into`; answers how many it read.
  using ReadAt = std::function<size_t(uint64_t offset, char* into, size_t length)>;

  // Bytes in memory: every view points into them.
  explicit MessageSource(std::string_view whole) : whole_(whole), size_(whole.size()), memory_(true) {}
  // Bytes read on demand, about `windowBytes` at a time.
  MessageSource(uint64_t size, ReadAt readAt, size_t windowBytes = kDefaultWindowBytes)
      : readAt_(std::move(readAt)), size_(size), windowBytes_(windowBytes) {}

  uint64_t size() const { return size_; }
  // The amount worth asking for at once (everything, for bytes in memory).
  size_t windowBytes() const { return memory_ ? SIZE_MAX : windowBytes_; }
  // The bytes [offset, offset + length) clipped to the size (fewer when the file reads short). The
  // view lasts until the next call.
  std::string_view view(uint64_t offset, size_t length);
  // The bytes from offset that are at hand (the window holding it, refilled from there when none
  // does), at least one unless offset reaches end; never past end.
  std::string_view piece(uint64_t offset, uint64_t end);

  static constexpr size_t kDefaultWindowBytes = 256 * 1024;

 private:
  std::string_view whole_;
  ReadAt readAt_;
  uint64_t size_ = 0;
  size_t windowBytes_ = kDefaultWindowBytes;
  bool memory_ = false;
  void refill(uint64_t offset, size_t length);
  std::string window_;
  uint64_t windowStart_ = 0;
};

}  // namespace vexil::net::mime
