#pragma once
// Bounds-checked little-endian reading over a byte span, and the MSB-first bit fields that SWF
// rectangles use. Every read past the end throws SwfError, so callers need no length checks.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vexil::swf {

class ByteReader {
 public:
  ByteReader(std::span<const uint8_t> bytes, const char* overrunError)
      : bytes_(bytes), overrunError_(overrunError) {}

  size_t position() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ >= bytes_.size(); }

  uint8_t u8();
  uint16_t u16();
  int16_t s16() { return static_cast<int16_t>(u16()); }
  uint32_t u32();
  std::span<const uint8_t> bytes(size_t count);
  void skip(size_t count) { bytes(count); }
  // A zero-terminated string; the terminator is consumed and not returned.
  std::string cString();

  // Bit fields start on a byte boundary and the next byte-aligned read drops the unused bits.
  uint32_t bits(unsigned count);
  int32_t signedBits(unsigned count);
  void alignToByte() { bitCount_ = 0; }

 private:
  [[noreturn]] void overrun() const;
  std::span<const uint8_t> bytes_;
  const char* overrunError_;
  size_t pos_ = 0;
  uint8_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;  // unread bits left in bitBuffer_
};

}  // namespace vexil::swf
