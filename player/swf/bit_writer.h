#pragma once
// The writing side of SWF's byte and bit fields, shared by the movie writer and the display tag
// writer: little-endian integers, MSB-first bit fields, rectangles and tag headers.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "player/swf/swf_header.h"
#include "player/swf/tag_codes.h"

namespace vexil::swf {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void write(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
      if (used_ == 0) out_.push_back(0);
      if ((value >> i) & 1u) out_.back() |= static_cast<uint8_t>(0x80u >> used_);
      used_ = (used_ + 1) % 8;
    }
  }
  void writeSigned(int32_t value, unsigned count) {
    write(static_cast<uint32_t>(value) & (count < 32 ? (1u << count) - 1u : ~0u), count);
  }

 private:
  std::vector<uint8_t>& out_;
  unsigned used_ = 0;
};

inline void appendU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void appendU32(std::vector<uint8_t>& out, uint32_t value) {
  appendU16(out, static_cast<uint16_t>(value));
  appendU16(out, static_cast<uint16_t>(value >> 16));
}

// Signed fields need one bit more than the magnitude.
inline unsigned bitsFor(int32_t value) {
  uint32_t magnitude = static_cast<uint32_t>(value < 0 ? ~value : value);
  unsigned bits = 1;
  while (magnitude) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

inline void appendRect(std::vector<uint8_t>& out, const TwipsRect& rect) {
  unsigned bits = std::min(31u, std::max({bitsFor(rect.xMin), bitsFor(rect.xMax), bitsFor(rect.yMin), bitsFor(rect.yMax)}));
  BitWriter writer(out);
  writer.write(bits, 5);
  for (int32_t value : {rect.xMin, rect.xMax, rect.yMin, rect.yMax}) writer.writeSigned(value, bits);
}

// A tag with any code (the movie model's TagCode or another table's), short or long header.
inline void appendTag(std::vector<uint8_t>& out, uint16_t code, const std::vector<uint8_t>& body) {
  uint16_t word = static_cast<uint16_t>(code << 6);
  if (body.size() < kLongTagLength) {
    appendU16(out, static_cast<uint16_t>(word | body.size()));
  } else {
    appendU16(out, static_cast<uint16_t>(word | kLongTagLength));
    appendU32(out, static_cast<uint32_t>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

inline void appendTag(std::vector<uint8_t>& out, TagCode code, const std::vector<uint8_t>& body) {
  appendTag(out, static_cast<uint16_t>(code), body);
}

}  // namespace vexil::swf
