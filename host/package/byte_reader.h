#pragma once
// Bounds-checked little-endian reading of untrusted bytes. A read past the end sets a sticky
// failure flag and yields zeros, so decoders read a whole record and check once.
#include <cstdint>
#include <span>

namespace vexil::package {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  int32_t i32() { return static_cast<int32_t>(u32()); }
  // The next count bytes, or an empty span (and failure) if fewer remain.
  std::span<const uint8_t> bytes(size_t count);
  bool skip(size_t count) { return bytes(count).size() == count; }

  size_t remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }
  size_t position() const { return pos_; }
  bool failed() const { return failed_; }
  void fail() { failed_ = true; }

 private:
  bool take(size_t count);
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace vexil::package
