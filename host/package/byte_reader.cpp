#include "host/package/byte_reader.h"

namespace vexil::package {

bool ByteReader::take(size_t count) {
  if (failed_ || count > bytes_.size() - pos_) {
    failed_ = true;
    return false;
  }
  return true;
}

uint8_t ByteReader::u8() {
  if (!take(1)) return 0;
  return bytes_[pos_++];
}

uint16_t ByteReader::u16() {
  if (!take(2)) return 0;
  uint16_t v = uint16_t(bytes_[pos_] | bytes_[pos_ + 1] << 8);
  pos_ += 2;
  return v;
}

uint32_t ByteReader::u32() {
  if (!take(4)) return 0;
  uint32_t v = uint32_t(bytes_[pos_]) | uint32_t(bytes_[pos_ + 1]) << 8 | uint32_t(bytes_[pos_ + 2]) << 16 |
               uint32_t(bytes_[pos_ + 3]) << 24;
  pos_ += 4;
  return v;
}

std::span<const uint8_t> ByteReader::bytes(size_t count) {
  if (!take(count)) return {};
  auto out = bytes_.subspan(pos_, count);
  pos_ += count;
  return out;
}

}  // namespace vexil::package
