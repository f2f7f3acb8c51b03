#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "objects/encryption/encryption_class.h"
#include "tests/support/host_class_fixture.h"

namespace vexil::objects {
namespace {

using namespace std::string_literals;
using script::Tag;
using script::Value;

class EncryptionTest : public vexil::test::HostClassFixture {
 protected:
  void addClasses(script::ClassRegistry& registry) override {
    registry.set(script::ClassStep::Encryption, registerEncryption);
  }
  Value enc() { return classObject("Encryption"); }
  std::string run(const char* method, std::initializer_list<Value> args) { return text(call(enc(), method, args)); }
};

TEST_F(EncryptionTest, Md5OfTextsIsLowerCaseHex) {
  EXPECT_EQ(run("md5", {str("abc")}), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(run("md5", {str("")}), "d41d8cd98f00b204e9800998ecf8427e");
  // The text's ANSI bytes: e acute is one byte, 0xe9.
  EXPECT_EQ(run("md5", {str16(u"\u00e9")}), run("md5", {str("\xe9")}));
}

TEST_F(EncryptionTest, Md5FileDigestsTheBytesAndIsNullForAMissingFile) {
  std::string bytes = "line one\r\nline two\0\xff"s + std::string(10000, 'q');
  { std::ofstream("encryption_md5_file.bin", std::ios::binary) << bytes; }
  EXPECT_EQ(run("md5File", {str("encryption_md5_file.bin")}), run("md5", {str(bytes)}));
  std::remove("encryption_md5_file.bin");
  EXPECT_EQ(call(enc(), "md5File", {str("no such file.bin")}).tag, Tag::Null);
}

TEST_F(EncryptionTest, EncodeThenDecodeGivesTheTextBackWithBothCiphers) {
  const std::string texts[] = {"", "a", "12345678", "123456789", "Licence: Anne \xe9 Co.",
                               std::string(1000, 'x') + "end"};
  for (auto [encode, decode] : {std::pair{"blowfishEncode", "blowfishDecode"}, {"desEncode", "desDecode"}}) {
    for (const std::string& t : texts) {
      Value cipher = call(enc(), encode, {str("pass phrase"), str(t)});
      ASSERT_EQ(cipher.tag, Tag::String);
      EXPECT_EQ(run(decode, {str("pass phrase"), cipher}), t) << encode << " " << t;
      // The empty pass phrase derives a weak DES key: still usable.
      EXPECT_EQ(run(decode, {str(""), call(enc(), encode, {str(""), str(t)})}), t) << encode << " " << t;
      if (!t.empty()) {
        EXPECT_NE(run(decode, {str("other phrase"), cipher}), t);
      }
    }
  }
}

TEST_F(EncryptionTest, EightBytesGiveTwelveBase64CharactersAndNineGiveTwentyFour) {
  for (const char* encode : {"blowfishEncode", "desEncode"}) {
    EXPECT_EQ(run(encode, {str("k"), str("12345678")}).size(), 12u);
    EXPECT_EQ(run(encode, {str("k"), str("123456789")}).size(), 24u);
    EXPECT_EQ(run(encode, {str("k"), str("")}), "");
  }
}

TEST_F(EncryptionTest, ATextWithAZeroCharacterComesBackCutAtIt) {
  for (auto [encode, decode] : {std::pair{"blowfishEncode", "blowfishDecode"}, {"desEncode", "desDecode"}}) {
    Value cipher = call(enc(), encode, {str("k"), str16(u"ab\0cd"s)});
    EXPECT_EQ(run(decode, {str("k"), cipher}), "ab");
  }
}

TEST_F(EncryptionTest, ArgumentsThatAreNotStringsGiveNull) {
  const char* two[] = {"blowfishEncode", "blowfishDecode", "desEncode", "desDecode"};
  for (const char* method : two) {
    EXPECT_EQ(call(enc(), method, {integer(1), str("x")}).tag, Tag::Null) << method;
    EXPECT_EQ(call(enc(), method, {str("x")}).tag, Tag::Null) << method;
    EXPECT_EQ(call(enc(), method, {str("x"), integer(12345678)}).tag, Tag::Null) << method;
  }
  EXPECT_EQ(call(enc(), "md5", {integer(1)}).tag, Tag::Null);
  EXPECT_EQ(call(enc(), "md5File", {}).tag, Tag::Null);
}

TEST_F(EncryptionTest, DecodersGiveNullForGarbageAndCopeWithOddLengthsAndZeros) {
  for (const char* decode : {"blowfishDecode", "desDecode"}) {
    for (const char* garbage : {"not base64!", "A", "QUJD=QUJD", "\xe9\xe9\xe9\xe9"}) {
      EXPECT_EQ(call(enc(), decode, {str("k"), str(garbage)}).tag, Tag::Null) << decode << garbage;
    }
    // Five bytes (not a whole block), and eight zero bytes: a string, whatever it reads.
    EXPECT_EQ(call(enc(), decode, {str("k"), str("QUJDREU=")}).tag, Tag::String);
    EXPECT_EQ(call(enc(), decode, {str("k"), str("AAAAAAAAAAA=")}).tag, Tag::String);
    EXPECT_EQ(run(decode, {str("k"), str("")}), "");
  }
}

TEST_F(EncryptionTest, AMegabytePassPhraseWorks) {
  std::string phrase(1 << 20, 'p');
  phrase[12345] = 'q';
  for (auto [encode, decode] : {std::pair{"blowfishEncode", "blowfishDecode"}, {"desEncode", "desDecode"}}) {
    Value cipher = call(enc(), encode, {str(phrase), str("hidden")});
    EXPECT_EQ(run(decode, {str(phrase), cipher}), "hidden");
  }
}

TEST_F(EncryptionTest, InstancesAnswerLikeTheClassObjectAndDescribeThemselves) {
  Value made = construct("Encryption");
  ASSERT_EQ(made.tag, Tag::Native);
  EXPECT_EQ(text(call(made, "md5", {str("abc")})), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(text(call(made, "toString")), "[object Encrpytion]");
  EXPECT_EQ(text(call(enc(), "toString")), "[object Encrpytion]");
  Value called = callValue(enc());
  ASSERT_EQ(called.tag, Tag::Native);
  EXPECT_EQ(run("desDecode", {str("k"), call(called, "desEncode", {str("k"), str("same")})}), "same");
}

}  // namespace
}  // namespace vexil::objects
