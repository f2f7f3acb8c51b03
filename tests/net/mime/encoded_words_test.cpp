// Encoded words in header text: decoded wherever they stand, and written for any text outside
// printable ASCII so that it reads back the same.
#include <gtest/gtest.h>

#include <string>

#include "net/mime/encoded_words.h"
#include "net/mime/header_fields.h"

namespace vexil::net::mime {
namespace {

TEST(EncodedWordsTest, EveryEncodedWordIsDecoded) {
  struct Case {
    std::string value, decoded;
  };
  const Case cases[] = {
      {"plain text", "plain text"},
      {"=?utf-8?B?w6l0w6k=?=", "\xC3\xA9t\xC3\xA9"},
      {"=?UTF-8?q?caf=C3=A9_au_lait?=", "caf\xC3\xA9 au lait"},
      {"=?iso-8859-1?Q?Andr=E9?= Pirard <pirard@example.org>", "Andr\xC3\xA9 Pirard <pirard@example.org>"},
      {"=?utf-8?B?YQ==?= \r\n =?utf-8?B?Yg==?=", "ab"},
      {"a =?utf-8?Q?b?= c", "a b c"},
      {"=?utf-8?X?abc?=", "=?utf-8?X?abc?="},
      {"=?broken", "=?broken"},
      {"=?utf-8?Q?has space?=", "=?utf-8?Q?has space?="},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeEncodedWords(c.value), c.decoded) << c.value;
}

TEST(EncodedWordsTest, AsciiIsLeftAloneAndOtherTextRoundTrips) {
  EXPECT_EQ(encodeHeaderText("Report for Monday", 9), "Report for Monday");
  const std::string texts[] = {
      "J\xC3\xB6rg M\xC3\xBCller <joerg@example.de>",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE4\xBB\xB6\xE5\x90\x8D" + std::string(40, 'x'),
  };
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "\xE2\x82\xAC ";
  for (const std::string& text : {texts[0], texts[1], longText}) {
    std::string encoded = encodeHeaderText(text, 9);
    EXPECT_EQ(decodeEncodedWords(findHeaderField("Subject: " + encoded + "\r\n", "Subject").value()),
              std::string(text.substr(0, text.find_last_not_of(' ') + 1)))
        << encoded;
    size_t start = 0;
    for (size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2)
      EXPECT_LE(end - start + (start == 0 ? 9 : 0), 76u) << encoded;
  }
  EXPECT_EQ(encodeHeaderText("J\xC3\xB6rg <j@example.de>", 6).substr(0, 10), "=?utf-8?B?");
  EXPECT_NE(encodeHeaderText("J\xC3\xB6rg <j@example.de>", 6).find(" <j@example.de>"), std::string::npos);
}

}  // namespace
}  // namespace vexil::net::mime
