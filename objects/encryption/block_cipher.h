#pragma once
// The two block ciphers, eight-byte blocks each enciphered on its own (electronic code book), run by
// the cryptographic library (never written here).
#include <cstdint>
#include <span>
#include <string>

namespace vexil::objects {

enum class BlockCipher { Blowfish, TripleDes };
enum class CipherDirection { Encrypt, Decrypt };

inline constexpr size_t kCipherBlockSize = 8;

// Enciphers or deciphers bytes whose length is a multiple of the block size, block by block, with a
// Blowfish key of 4 to 56 bytes or a 24-byte Triple-DES key (encrypt-decrypt-encrypt). Blowfish
// blocks are taken as two little-endian 32-bit halves (the library's are big-endian). Empty on a
// key the library refuses.
std::string runEcb(BlockCipher cipher, std::span<const uint8_t> key, CipherDirection direction,
                   std::string bytes);

}  // namespace vexil::objects
