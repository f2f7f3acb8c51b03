// POP3 answers: status lines, dot-ended multi-line data with stuffed dots removed, listings and the
// APOP greeting, with the numbers a server names bounded.
#include <gtest/gtest.h>

#include <string>

#include "net/mail/pop3_reply.h"

namespace vexil::net::mail {
namespace {

struct Unstuffed {
  std::string data;
  size_t used;
  bool done;
};

Unstuffed unstuff(const std::string& bytes, size_t piece) {
  DotUnstuffer unstuffer;
  Unstuffed result{"", 0, false};
  for (size_t at = 0; at < bytes.size() && !unstuffer.done(); at += piece) {
    result.used += unstuffer.feed(std::string_view(bytes).substr(at, piece), &result.data);
  }
  result.done = unstuffer.done();
  return result;
}

TEST(Pop3ReplyTest, MultiLineDataIsUnstuffedAndEndsAtTheDotLine) {
  struct Case {
    std::string bytes, data;
    size_t used;
  };
  const Case cases[] = {
      {".\r\n", "", 3},                                     // an empty message ends at once
      {"a\r\nb\r\n.\r\n", "a\r\nb\r\n", 9},
      {"..\r\n.\r\n", ".\r\n", 7},                          // a line of two dots keeps one
      {"..x\r\n...\r\n.\r\n", ".x\r\n..\r\n", 13},
      {"x.\r\n.y\r\n.\r\nNEXT", "x.\r\ny\r\n", 11},         // what follows the end stays unread
      {"a\n.\n", "a\n", 4},                                 // bare LF line ends are accepted
      {"\r\n\r\n.\r\n", "\r\n\r\n", 7},
  };
  for (const Case& c : cases) {
    for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(512)}) {
      Unstuffed got = unstuff(c.bytes, piece);
      EXPECT_TRUE(got.done) << c.bytes << " in pieces of " << piece;
      EXPECT_EQ(got.data, c.data) << c.bytes << " in pieces of " << piece;
      EXPECT_EQ(got.used, c.used) << c.bytes << " in pieces of " << piece;
    }
  }
}

TEST(Pop3ReplyTest, DataWithoutTheDotLineIsNotDone) {
  for (const std::string bytes : {"a\r\n", "a\r\n.", "a\r\n.\r", "x.\r\n", ".x\r\n"}) {
    EXPECT_FALSE(unstuff(bytes, 1).done) << bytes;
  }
}

TEST(Pop3ReplyTest, StatusLinesAndSingleListings) {
  EXPECT_TRUE(isPositiveStatus("+OK 2 320\r\n"));
  EXPECT_FALSE(isPositiveStatus("-ERR no\r\n"));
  EXPECT_FALSE(isPositiveStatus("+O"));
  EXPECT_EQ(statusText("+OK 2 320\r\n"), "2 320");
  EXPECT_EQ(statusText("+OK\r\n"), "");
  struct Case {
    const char* status;
    int64_t number;  // 0: refused
    const char* value;
  };
  const Case cases[] = {
      {"+OK 3 1200\r\n", 3, "1200"},
      {"+OK 1 whqtswO00WBw418f9t5JxYwZ\r\n", 1, "whqtswO00WBw418f9t5JxYwZ"},
      {"+OK  7\t99 trailing words\r\n", 7, "99"},
      {"-ERR no such message\r\n", 0, ""},
      {"+OK 0 10\r\n", 0, ""},
      {"+OK 1000001 10\r\n", 0, ""},  // beyond the bound on message numbers
      {"+OK 99999999999999999999 1\r\n", 0, ""},
      {"+OK 3\r\n", 0, ""},
      {"+OK x 3\r\n", 0, ""},
  };
  for (const Case& c : cases) {
    std::optional<ListingEntry> entry = parseListingStatus(c.status);
    EXPECT_EQ(entry ? entry->number : 0, c.number) << c.status;
    if (entry) {
      EXPECT_EQ(entry->value, c.value) << c.status;
    }
  }
}

TEST(Pop3ReplyTest, ListingsKeepWellFormedLinesOnly) {
  std::vector<ListingEntry> entries = parseListing("1 100\r\n2 200\r\nrubbish\r\n4000000 1\r\n5 -3\r\n7 70");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[1].number, 2);
  EXPECT_EQ(listingSize(entries[1]), 200);
  EXPECT_EQ(entries[2].number, 5);
  EXPECT_FALSE(listingSize(entries[2]));  // a negative size is not a size
  EXPECT_EQ(entries[3].number, 7);
}

TEST(Pop3ReplyTest, ApopTimestampFromTheGreeting) {
  struct Case {
    const char* greeting;
    const char* stamp;  // empty: none
  };
  const Case cases[] = {
      {"+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n", "<1896.697170952@dbc.mtview.ca.us>"},
      {"+OK ready <a@b> trailing\r\n", "<a@b>"},
      {"+OK ready\r\n", ""},
      {"+OK <>\r\n", ""},
      {"+OK <unclosed\r\n", ""},
      {"+OK <two words>\r\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(apopTimestamp(c.greeting).value_or(""), c.stamp) << c.greeting;
}

}  // namespace
}  // namespace vexil::net::mail
