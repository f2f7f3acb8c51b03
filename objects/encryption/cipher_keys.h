#pragma once
// Keys derived from a pass phrase, and the text handling around the ciphers.
//
// These choices are weak by today's measure — a home-made key derivation without salt or
// iterations, electronic code book, zero padding that cannot carry trailing zero bytes — and they
// are kept on purpose: texts scripts have already stored were made with them and must still
// decrypt, byte for byte.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "objects/encryption/block_cipher.h"

namespace vexil::objects {

using Fold8 = std::array<uint8_t, 8>;
using TripleDesKey = std::array<uint8_t, 24>;
using BlowfishKey = std::array<uint8_t, 56>;

// Eight bytes folded from the pass phrase: bytes at positions 0-7 of each 16 are shifted left one
// bit into slots 0-7, bytes at positions 8-15 are bit-reversed into slots 7-0.
Fold8 fold8(std::string_view passPhrase);
// The byte with its lowest bit flipped when it has an even number of set bits.
uint8_t withOddParity(uint8_t byte);
// MD5 of the pass phrase, then its fold, each byte with odd parity: three DES keys in that order.
TripleDesKey tripleDesKey(std::string_view passPhrase);
// MD5 of the fold, MD5 of the pass phrase, the two halves of that MD5 enciphered with Triple DES
// under the program's fixed key, then the fold.
BlowfishKey blowfishKey(std::string_view passPhrase);

// The text's bytes zero-padded to whole blocks and enciphered (nothing for an empty text).
std::string encryptText(BlockCipher cipher, std::string_view passPhrase, std::string_view text);
// The deciphered bytes (a short last block zero-padded first), up to the first zero byte.
std::string decryptText(BlockCipher cipher, std::string_view passPhrase, std::string_view bytes);

}  // namespace vexil::objects
