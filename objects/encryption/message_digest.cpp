#include "objects/encryption/message_digest.h"

#include <gcrypt.h>

#include <cstring>

#include "objects/encryption/crypto_library.h"

namespace vexil::objects {

struct Md5Stream::Handle {
  gcry_md_hd_t md = nullptr;
  ~Handle() { gcry_md_close(md); }
};

Md5Digest md5(std::string_view bytes) {
  ensureCryptoLibrary();
  Md5Digest digest;
  gcry_md_hash_buffer(GCRY_MD_MD5, digest.data(), bytes.data(), bytes.size());
  return digest;
}

Md5Stream::Md5Stream() : handle_(std::make_unique<Handle>()) {
  ensureCryptoLibrary();
  gcry_md_open(&handle_->md, GCRY_MD_MD5, 0);
}

Md5Stream::~Md5Stream() = default;

void Md5Stream::add(const void* data, size_t size) { gcry_md_write(handle_->md, data, size); }

Md5Digest Md5Stream::finish() {
  Md5Digest digest;
  std::memcpy(digest.data(), gcry_md_read(handle_->md, GCRY_MD_MD5), digest.size());
  return digest;
}

std::string hexDigits(const Md5Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

}  // namespace vexil::objects
