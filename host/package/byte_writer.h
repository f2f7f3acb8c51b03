#pragma once
// Little-endian writing into a growing byte buffer: the counterpart of ByteReader.
#include <cstdint>
#include <span>
#include <vector>

namespace vexil::package {

class ByteWriter {
 public:
  void u8(uint8_t v) { out_.push_back(v); }
  void u16(uint16_t v) {
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
  }
  void u32(uint32_t v) {
    u16(uint16_t(v));
    u16(uint16_t(v >> 16));
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void bytes(std::span<const uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }

  const std::vector<uint8_t>& data() const { return out_; }
  std::vector<uint8_t> take() { return std::move(out_); }

 private:
  std::vector<uint8_t> out_;
};

}  // namespace vexil::package
