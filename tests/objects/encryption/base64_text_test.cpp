#include "objects/encryption/base64_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vexil::objects {
namespace {

using namespace std::string_literals;

struct Pair {
  std::string bytes;
  std::string text;
};

// The test vectors of the base64 standard, and bytes that are not text.
const Pair kPairs[] = {
    {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    {"\0\0\0"s, "AAAA"}, {"a\0b"s, "YQBi"}, {"\xff\xfe\xfd", "//79"},
};

TEST(Base64Text, EncodesTheStandardVectorsOnOneLine) {
  for (const Pair& p : kPairs) EXPECT_EQ(encodeBase64(p.bytes), p.text) << p.text;
  std::string long_(1000, 'x');
  EXPECT_EQ(encodeBase64(long_).find_first_of("\r\n"), std::string::npos);
}

TEST(Base64Text, DecodesWhatItEncodes) {
  for (const Pair& p : kPairs) EXPECT_EQ(decodeBase64(p.text), p.bytes) << p.text;
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  EXPECT_EQ(decodeBase64(encodeBase64(all)), all);
}

TEST(Base64Text, SkipsLineBreaksAndAcceptsMissingFill) {
  EXPECT_EQ(decodeBase64("Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(decodeBase64(" Zm9v YmE= "), "fooba");
  EXPECT_EQ(decodeBase64("Zm9vYg"), "foob");
  EXPECT_EQ(decodeBase64("Zm9vYmE"), "fooba");
}

TEST(Base64Text, RefusesGarbageFillInsideAndALoneLeftOverCharacter) {
  const std::string bad[] = {"Zm9v!", "Z", "Zm9vY", "Zm=9v", "Zg===", "Zg=", "=", "Zm9v=",
                             "Zm\0v"s, "\xc3\xa9\xc3\xa9", "Zm9v-_"};
  for (const std::string& text : bad) EXPECT_FALSE(decodeBase64(text).has_value()) << text;
}

}  // namespace
}  // namespace vexil::objects
