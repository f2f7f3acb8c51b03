// The data of a message as sent after DATA: every line ends in CR LF, leading dots are doubled.
#include <gtest/gtest.h>

#include <string>

#include "net/mail/data_lines.h"

namespace vexil::net::mail {
namespace {

std::string sent(std::string_view message) {
  DataLines lines(message);
  std::string all, line;
  while (lines.next(&line)) all += line;
  return all;
}

TEST(DataLinesTest, LinesAreStuffedAndEndInCrLf) {
  struct Case {
    std::string message, sent;
  };
  const Case cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {".\r\n", "..\r\n"},
      {"x\r\n.hidden\r\n..two\r\n", "x\r\n..hidden\r\n...two\r\n"},
      {"no end", "no end\r\n"},
      {"bare\nlf\n", "bare\r\nlf\r\n"},
      {"bare\rcr", "bare\r\ncr\r\n"},
      {"a\n.\nb", "a\r\n..\r\nb\r\n"},  // a bare-LF dot line cannot end the data early
      {"\r\n\r\n", "\r\n\r\n"},
      {std::string("\xE9t\xE9\r\n"), std::string("\xE9t\xE9\r\n")},
  };
  for (const Case& c : cases) EXPECT_EQ(sent(c.message), c.sent) << c.message;
}

TEST(DataLinesTest, EightBitBytesAreNoticed) {
  EXPECT_FALSE(hasEightBitBytes("plain ascii\r\n"));
  EXPECT_TRUE(hasEightBitBytes("caf\xC3\xA9"));
}

}  // namespace
}  // namespace vexil::net::mail
