#include "objects/encryption/cipher_keys.h"

#include <algorithm>
#include <bit>
#include <span>

#include "objects/encryption/message_digest.h"

namespace vexil::objects {
namespace {

// The program's own Triple-DES key inside the Blowfish key derivation. Changing it makes every
// text encrypted before unreadable.
constexpr TripleDesKey kFixedTripleDesKey = {
    0x15, 0x4a, 0x07, 0x10, 0x02, 0xa2, 0x8a, 0x83, 0xe9, 0x16, 0x5e, 0x25,
    0x9e, 0xe5, 0x0b, 0x2a, 0x23, 0x4c, 0xce, 0x32, 0x19, 0xc7, 0x7a, 0x19};

uint8_t reverseBits(uint8_t c) {
  uint8_t r = 0;
  for (int bit = 0; bit < 8; ++bit) r |= uint8_t(((c >> bit) & 1) << (7 - bit));
  return r;
}

template <size_t N>
std::string_view asBytes(const std::array<uint8_t, N>& a) {
  return {reinterpret_cast<const char*>(a.data()), N};
}

template <size_t N, size_t M>
uint8_t* append(uint8_t* out, const std::array<uint8_t, M>& part) {
  static_assert(M <= N);
  return std::copy(part.begin(), part.end(), out);
}

}  // namespace

Fold8 fold8(std::string_view passPhrase) {
  Fold8 fold{};
  for (size_t i = 0; i < passPhrase.size(); ++i) {
    auto c = uint8_t(passPhrase[i]);
    if (i % 16 < 8) {
      fold[i % 8] ^= uint8_t(c << 1);
    } else {
      fold[7 - i % 8] ^= reverseBits(c);
    }
  }
  return fold;
}

uint8_t withOddParity(uint8_t byte) { return std::popcount(byte) % 2 == 0 ? byte ^ 1 : byte; }

TripleDesKey tripleDesKey(std::string_view passPhrase) {
  TripleDesKey key{};
  uint8_t* out = append<24>(key.data(), md5(passPhrase));
  append<24>(out, fold8(passPhrase));
  for (uint8_t& b : key) b = withOddParity(b);
  return key;
}

BlowfishKey blowfishKey(std::string_view passPhrase) {
  Fold8 fold = fold8(passPhrase);
  Md5Digest phraseDigest = md5(passPhrase);
  std::string hidden = runEcb(BlockCipher::TripleDes, kFixedTripleDesKey, CipherDirection::Encrypt,
                              std::string(asBytes(phraseDigest)));
  BlowfishKey key{};
  uint8_t* out = append<56>(key.data(), md5(asBytes(fold)));
  out = append<56>(out, phraseDigest);
  out = std::copy(hidden.begin(), hidden.end(), out);
  append<56>(out, fold);
  return key;
}

namespace {

std::string runWithDerivedKey(BlockCipher cipher, std::string_view passPhrase, CipherDirection direction,
                              std::string bytes) {
  bytes.resize((bytes.size() + kCipherBlockSize - 1) / kCipherBlockSize * kCipherBlockSize, '\0');
  if (cipher == BlockCipher::Blowfish) return runEcb(cipher, blowfishKey(passPhrase), direction, std::move(bytes));
  return runEcb(cipher, tripleDesKey(passPhrase), direction, std::move(bytes));
}

}  // namespace

std::string encryptText(BlockCipher cipher, std::string_view passPhrase, std::string_view text) {
  return runWithDerivedKey(cipher, passPhrase, CipherDirection::Encrypt, std::string(text));
}

// A block holding no zero byte still gives a whole string: the text is cut at the first zero, or
// runs to the end of the bytes.
std::string decryptText(BlockCipher cipher, std::string_view passPhrase, std::string_view bytes) {
  std::string plain = runWithDerivedKey(cipher, passPhrase, CipherDirection::Decrypt, std::string(bytes));
  size_t zero = plain.find('\0');
  if (zero != std::string::npos) plain.resize(zero);
  return plain;
}

}  // namespace vexil::objects
