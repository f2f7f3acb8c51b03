#include "player/swf/byte_reader.h"

#include "player/swf/swf_error.h"

namespace vexil::swf {

void ByteReader::overrun() const { throw SwfError(overrunError_); }

uint8_t ByteReader::u8() {
  alignToByte();
  if (pos_ >= bytes_.size()) overrun();
  return bytes_[pos_++];
}

uint16_t ByteReader::u16() {
  uint16_t low = u8();
  return static_cast<uint16_t>(low | (u8() << 8));
}

uint32_t ByteReader::u32() {
  uint32_t low = u16();
  return low | (static_cast<uint32_t>(u16()) << 16);
}

std::span<const uint8_t> ByteReader::bytes(size_t count) {
  alignToByte();
  if (count > remaining()) overrun();
  auto result = bytes_.subspan(pos_, count);
  pos_ += count;
  return result;
}

std::string ByteReader::cString() {
  alignToByte();
  std::string text;
  for (;;) {
    uint8_t byte = u8();
    if (byte == 0) return text;
    text.push_back(static_cast<char>(byte));
  }
}

uint32_t ByteReader::bits(unsigned count) {
  uint32_t value = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (bitCount_ == 0) {
      if (pos_ >= bytes_.size()) overrun();
      bitBuffer_ = bytes_[pos_++];
      bitCount_ = 8;
    }
    --bitCount_;
    value = (value << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return value;
}

int32_t ByteReader::signedBits(unsigned count) {
  uint32_t value = bits(count);
  if (count == 0 || count >= 32) return static_cast<int32_t>(value);
  uint32_t sign = 1u << (count - 1);
  return static_cast<int32_t>((value ^ sign) - sign);
}

}  // namespace vexil::swf
