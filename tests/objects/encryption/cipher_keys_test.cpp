#include "objects/encryption/cipher_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "objects/encryption/message_digest.h"

namespace vexil::objects {
namespace {

using namespace std::string_literals;

TEST(CipherKeys, FoldShiftsTheFirstEightOfSixteenAndReversesTheNextEight) {
  struct Case {
    std::string phrase;
    Fold8 fold;
  };
  const Case cases[] = {
      {"", {}},
      {"A", {0x82, 0, 0, 0, 0, 0, 0, 0}},
      // 'C' (0x43) at index 8 is reversed (0xc2) into the last slot.
      {"AAAAAAAAC", {0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x40}},
      // index 15 reverses into slot 0; index 16 shifts into slot 0 again ('\x80' << 1 is 0).
      {"\x01"s + std::string(14, '\0') + "\x01" + "\x80", {0x02 ^ 0x80, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(fold8(c.phrase), c.fold) << c.phrase;
}

TEST(CipherKeys, OddParityFlipsTheLowestBitOfEvenBytes) {
  const std::pair<uint8_t, uint8_t> cases[] = {{0x00, 0x01}, {0x01, 0x01}, {0x03, 0x02},
                                               {0xff, 0xfe}, {0x80, 0x80}, {0xfe, 0xfe}};
  for (auto [in, out] : cases) EXPECT_EQ(withOddParity(in), out) << int(in);
}

TEST(CipherKeys, TripleDesKeyIsTheDigestThenTheFoldWithOddParity) {
  TripleDesKey key = tripleDesKey("secret");
  Md5Digest digest = md5("secret");
  Fold8 fold = fold8("secret");
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(key[i], withOddParity(digest[i]));
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(key[16 + i], withOddParity(fold[i]));
}

TEST(CipherKeys, BlowfishKeyFramesItsHiddenPartWithTheDigestsAndTheFold) {
  BlowfishKey key = blowfishKey("secret");
  Fold8 fold = fold8("secret");
  Md5Digest foldDigest = md5({reinterpret_cast<const char*>(fold.data()), fold.size()});
  Md5Digest digest = md5("secret");
  EXPECT_TRUE(std::equal(foldDigest.begin(), foldDigest.end(), key.begin()));
  EXPECT_TRUE(std::equal(digest.begin(), digest.end(), key.begin() + 16));
  EXPECT_FALSE(std::equal(digest.begin(), digest.end(), key.begin() + 32));
  EXPECT_TRUE(std::equal(fold.begin(), fold.end(), key.begin() + 48));
  EXPECT_EQ(blowfishKey("secret"), key);
  EXPECT_NE(blowfishKey("secreT"), key);
}

TEST(CipherKeys, TextsArePaddedToWholeBlocksAndComeBackCutAtTheFirstZero) {
  for (BlockCipher cipher : {BlockCipher::Blowfish, BlockCipher::TripleDes}) {
    EXPECT_EQ(encryptText(cipher, "k", ""), "");
    EXPECT_EQ(encryptText(cipher, "k", "12345678").size(), 8u);
    EXPECT_EQ(encryptText(cipher, "k", "123456789").size(), 16u);
    // No zero byte in the last block: the whole text comes back, nothing read past it.
    EXPECT_EQ(decryptText(cipher, "k", encryptText(cipher, "k", "ABCDEFGH")), "ABCDEFGH");
    EXPECT_EQ(decryptText(cipher, "k", encryptText(cipher, "k", "ab\0cd"s)), "ab");
    // A short last block is padded before deciphering.
    std::string cut = encryptText(cipher, "k", "123456789").substr(0, 13);
    EXPECT_EQ(decryptText(cipher, "k", cut).substr(0, 8), "12345678");
  }
}

}  // namespace
}  // namespace vexil::objects
