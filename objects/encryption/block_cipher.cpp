#include "objects/encryption/block_cipher.h"

#include <gcrypt.h>

#include <utility>

#include "objects/encryption/crypto_library.h"

namespace vexil::objects {
namespace {

class CipherHandle {
 public:
  explicit CipherHandle(int algorithm) {
    if (gcry_cipher_open(&handle_, algorithm, GCRY_CIPHER_MODE_ECB, 0) != 0) handle_ = nullptr;
  }
  ~CipherHandle() { gcry_cipher_close(handle_); }
  CipherHandle(const CipherHandle&) = delete;
  CipherHandle& operator=(const CipherHandle&) = delete;
  gcry_cipher_hd_t get() const { return handle_; }

 private:
  gcry_cipher_hd_t handle_ = nullptr;
};

// Turns each 32-bit half of every block around: the library reads halves big-endian.
void swapHalves(std::string& bytes) {
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
}

}  // namespace

std::string runEcb(BlockCipher cipher, std::span<const uint8_t> key, CipherDirection direction,
                   std::string bytes) {
  ensureCryptoLibrary();
  if (bytes.size() % kCipherBlockSize != 0) return {};
  CipherHandle handle(cipher == BlockCipher::Blowfish ? GCRY_CIPHER_BLOWFISH : GCRY_CIPHER_3DES);
  if (!handle.get()) return {};
  // A pass phrase may derive a weak DES key (the empty one does): allowed, the library still
  // reports it, and texts stored under it must still decrypt.
  gcry_cipher_ctl(handle.get(), GCRYCTL_SET_ALLOW_WEAK_KEY, nullptr, 1);
  gcry_error_t keyError = gcry_cipher_setkey(handle.get(), key.data(), key.size());
  if (keyError != 0 && gcry_err_code(keyError) != GPG_ERR_WEAK_KEY) return {};
  if (bytes.empty()) return bytes;
  bool littleEndian = cipher == BlockCipher::Blowfish;
  if (littleEndian) swapHalves(bytes);
  gcry_error_t error = direction == CipherDirection::Encrypt
                           ? gcry_cipher_encrypt(handle.get(), bytes.data(), bytes.size(), nullptr, 0)
                           : gcry_cipher_decrypt(handle.get(), bytes.data(), bytes.size(), nullptr, 0);
  if (error != 0) return {};
  if (littleEndian) swapHalves(bytes);
  return bytes;
}

}  // namespace vexil::objects
