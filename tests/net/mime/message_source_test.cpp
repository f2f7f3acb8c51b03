// A message read through a small window (as a message file is read) gives the same header fields
// and part table as the same bytes read in memory, whatever the window cuts: header blocks, lines
// longer than the window, delimiters split across windows, look-alike delimiter lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/mime/mime_reader.h"

namespace vexil::net::mime {
namespace {

ParsedMessage readInWindows(std::string_view message, size_t window) {
  MessageSource source(
      message.size(),
      [message](uint64_t offset, char* into, size_t length) {
        size_t n = std::min<size_t>(length, message.size() - size_t(offset));
        std::memcpy(into, message.data() + offset, n);
        return n;
      },
      window);
  return readMessage(source);
}

std::string longLine(char c, size_t n) { return std::string(n, c) + "\r\n"; }

std::string messages(size_t which) {
  const std::string mixed =
      "From: =?utf-8?Q?Andr=C3=A9?= <andre@example.com>\r\nSubject: Report\r\nX-Priority: 1\r\n"
      "Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\npreamble\r\n"
      "--outer\r\nContent-Type: multipart/related; boundary=inner\r\n\r\n"
      "--inner\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>x</p>\r\n"
      "--inner\r\nContent-Type: image/png; name=\"logo.png\"\r\nContent-Transfer-Encoding: base64\r\n"
      "Content-ID: <logo@here>\r\n\r\niVBORw==\r\n--inner--\r\n"
      "--outer\r\nContent-Type: text/plain\r\n\r\nthe text\r\n"
      "--outer\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
      longLine('Q', 5000) + "--outer--\r\nepilogue\r\n";
  switch (which) {
    case 0: return mixed;
    case 1: {  // LF line ends, and a header block longer than any window
      std::string m = "Subject: long\nX-Filler: " + std::string(300000, 'f') +
                      "\nContent-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\none\n--b--\n";
      return m;
    }
    case 2:  // lines that start like a delimiter but go on, longer than the window
      return "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nfirst\r\n--b" + std::string(3000, 'x') +
             "\r\n--b  " + std::string(3000, ' ') + "\r\nContent-Type: text/html\r\n\r\n<b>h</b>\r\n--b--" +
             std::string(2000, '\t') + "\r\n";
    case 3:  // never closed, a bare CR before the delimiter, no final line break
      return "Content-Type: multipart/alternative; boundary=z\r\n\r\n--z\r\nContent-Type: text/plain\r\n\r\na\r\r\n--z\r\n"
             "Content-Type: text/html\r\n\r\n<i>" + std::string(10000, 'h') + "</i>";
    default:  // no header block end at all
      return "Subject: only headers\r\nTo: a@b.c\r\n" + longLine('z', 200);
  }
}

TEST(MessageSourceTest, ReadingInWindowsGivesTheSameFieldsAndPartsAsInMemory) {
  for (size_t which = 0; which < 5; ++which) {
    std::string message = messages(which);
    ParsedMessage whole = readMessage(message);
    for (size_t window : {1, 2, 3, 7, 64, 4096, 1 << 20}) {
      EXPECT_TRUE(readInWindows(message, window) == whole) << "message " << which << ", window " << window;
    }
  }
}

TEST(MessageSourceTest, ViewsAndPiecesAreClippedAndServedFromTheWindow) {
  std::string bytes = "0123456789";
  size_t reads = 0;
  MessageSource source(
      bytes.size(),
      [&](uint64_t offset, char* into, size_t length) {
        ++reads;
        size_t n = std::min<size_t>(length, bytes.size() - size_t(offset));
        std::memcpy(into, bytes.data() + offset, n);
        return n;
      },
      4);
  EXPECT_EQ(source.view(2, 2), "23");
  EXPECT_EQ(source.view(3, 3), "345");  // within the window read at 2
  EXPECT_EQ(source.piece(4, 10), "45");  // what the window holds, no read
  EXPECT_EQ(source.piece(4, 5), "4");
  EXPECT_EQ(reads, 1u);
  EXPECT_EQ(source.piece(6, 10), "6789");  // past the window: refilled from there
  EXPECT_EQ(reads, 2u);
  EXPECT_EQ(source.view(8, 5), "89");
  EXPECT_EQ(source.view(10, 1), "");
  EXPECT_EQ(source.view(0, 10), bytes);  // longer than the window: read whole
  EXPECT_EQ(MessageSource(std::string_view("abc")).view(1, 9), "bc");
}

}  // namespace
}  // namespace vexil::net::mime
