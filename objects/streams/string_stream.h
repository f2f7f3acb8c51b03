#pragma once
// The byte buffer behind the StringStream class, and the byte-array type of the whole host library:
// sockets, COM byte arrays and mail hand bytes in and out through append, bytes and take without
// going through script calls.
//
// As a stream it has an open mode, a get (read) position and a put (write) position that move
// independently, and two state flags. Reading past the end sets the end-of-file flag (and the
// failure flag, since the read came up short); a refused operation sets the failure flag. The flags
// report, they never block: a write after a read hit the end still writes, and only setting a
// position clears them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "objects/streams/stream_constants.h"

namespace vexil::objects {

class StringStream {
 public:
  explicit StringStream(uint32_t mode = kStreamInOut, std::vector<uint8_t> content = {});

  // The byte-array interface. Whole-content operations never touch positions or flags.
  std::span<const uint8_t> bytes() const { return content_; }
  size_t size() const { return content_.size(); }
  void append(std::span<const uint8_t> data);  // at the end, whatever the put position
  std::vector<uint8_t> take();                  // the content; the stream is left empty and cleared

  uint32_t mode() const { return mode_; }
  bool isOpen() const { return open_; }
  void close();  // frees the content; a closed stream answers nothing

  int getByte();  // 0-255, or kStreamEof
  size_t read(void* out, size_t count);
  size_t write(const void* data, size_t count);  // at the put position, overwriting and extending
  // Steps the get position back one byte; with a byte, that byte is what the next read returns.
  bool unget(std::optional<uint8_t> byte = std::nullopt);

  uint64_t getPos() const { return get_; }
  uint64_t putPos() const { return put_; }
  // Clears the flags, then moves the position; a position beyond the content is refused (failure
  // flag set, position kept).
  bool seekGet(uint64_t position);
  bool seekPut(uint64_t position);

  bool eof() const { return eof_; }
  bool failed() const { return fail_; }
  void clearFlags() { eof_ = fail_ = false; }

 private:
  bool canRead();
  bool canWrite();

  std::vector<uint8_t> content_;
  size_t get_ = 0;
  size_t put_ = 0;
  uint32_t mode_;
  bool eof_ = false;
  bool fail_ = false;
  bool open_ = true;
};

}  // namespace vexil::objects
