// Quoted-printable as composed text bodies use it: what the encoder writes decodes to the same
// bytes (line breaks made CR LF), and the decoder reads other encoders' soft breaks and escapes.
#include <gtest/gtest.h>

#include <string>

#include "net/mime/quoted_printable.h"

namespace vexil::net::mime {
namespace {

TEST(QuotedPrintableTest, EncoderOutputMatchesTheTable) {
  struct Case {
    std::string bytes, encoded;
  };
  const Case cases[] = {
      {"", ""},
      {"plain", "plain=\r\n"},
      {"a=b", "a=3Db=\r\n"},
      {"line\r\n", "line\r\n"},
      {"one\ntwo\rthree\r\n", "one\r\ntwo\r\nthree\r\n"},
      {"blank \r\nend\t", "blank=20\r\nend=09=\r\n"},
      {"\xE9t\xE9\x7F\x01", "=E9t=E9=7F=01=\r\n"},
      {std::string(100, 'x'), std::string(73, 'x') + "=\r\n" + std::string(27, 'x') + "=\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(encodeQuotedPrintable(c.bytes), c.encoded) << c.bytes;
}

TEST(QuotedPrintableTest, NoEncodedLineIsLongerThanSeventySixColumns) {
  std::string bytes;
  for (int i = 0; i < 2000; ++i) bytes += char(i * 7 % 256);
  std::string encoded = encodeQuotedPrintable(bytes);
  size_t start = 0;
  for (size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2)
    EXPECT_LE(end - start, 76u);
  EXPECT_EQ(start, encoded.size());
}

TEST(QuotedPrintableTest, WhatIsEncodedDecodesBackWithLineBreaksMadeCrLf) {
  const std::string texts[] = {"", "a", "trailing blank \nx", std::string(300, '='), "tab\t\r\n\r\n",
                               "caf\xC3\xA9 \xE2\x82\xAC", std::string(150, ' ')};
  for (const std::string& text : texts) {
    std::string canonical;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) canonical += '\r';
      canonical += text[i];
    }
    EXPECT_EQ(decodeQuotedPrintable(encodeQuotedPrintable(text)), canonical) << text;
  }
}

TEST(QuotedPrintableTest, DecoderReadsSoftBreaksEscapesAndStrayEquals) {
  struct Case {
    std::string encoded, bytes;
  };
  const Case cases[] = {
      {"ab=\r\ncd", "abcd"},
      {"ab=\ncd", "abcd"},
      {"ab= \t\r\ncd", "abcd"},
      {"end=", "end="},
      {"end= ", "end"},
      {"=3D=e9=C3=A9", "=\xE9\xC3\xA9"},
      {"=ZZ=4", "=ZZ=4"},
      {"a\r\nb\n", "a\r\nb\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeQuotedPrintable(c.encoded), c.bytes) << c.encoded;
}

}  // namespace
}  // namespace vexil::net::mime
