#pragma once
// MD5 digests through the cryptographic library (never written here): of bytes at once, or of a
// stream fed in pieces (a file read a block at a time).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexil::objects {

using Md5Digest = std::array<uint8_t, 16>;

Md5Digest md5(std::string_view bytes);

class Md5Stream {
 public:
  Md5Stream();
  ~Md5Stream();
  Md5Stream(const Md5Stream&) = delete;
  Md5Stream& operator=(const Md5Stream&) = delete;
  void add(const void* data, size_t size);
  Md5Digest finish();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// 32 lower-case hex digits.
std::string hexDigits(const Md5Digest& digest);

}  // namespace vexil::objects
