// Login answers against the published examples of their protocols, and the values that would split
// a command line.
#include <gtest/gtest.h>

#include <string>

#include "net/mail/mail_auth.h"

namespace vexil::net::mail {
namespace {

TEST(MailAuthTest, HmacMd5MatchesThePublishedVectors) {
  struct Case {
    std::string key, data, digest;
  };
  const Case cases[] = {
      {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
      {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
      // A key longer than the 64-byte block is hashed first.
      {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
       "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
  };
  for (const Case& c : cases) EXPECT_EQ(hmacMd5Hex(c.key, c.data), c.digest) << c.data;
}

TEST(MailAuthTest, CramMd5AnswersTheChallengeOfItsExample) {
  EXPECT_EQ(cramMd5Response("tim", "tanstaaftanstaaf", "334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n"),
            "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
  for (const char* unreadable : {"334\r\n", "334 !!!!\r\n", ""}) {
    EXPECT_FALSE(cramMd5Response("tim", "x", unreadable)) << unreadable;
  }
}

TEST(MailAuthTest, PlainLoginAndApop) {
  EXPECT_EQ(plainResponse("tim", "tanstaaf"), "AHRpbQB0YW5zdGFhZg==");
  EXPECT_EQ(loginResponse("tim"), "dGlt");
  EXPECT_EQ(apopDigest("<1896.697170952@dbc.mtview.ca.us>", "tanstaaf"), "c4c9334bac560ecc979e58001b3e22fb");
}

TEST(MailAuthTest, LineBreaksAndZerosBreakCommandLines) {
  EXPECT_FALSE(breaksCommandLine("user@example.org"));
  for (std::string value : {std::string("a\rb"), std::string("a\nb"), std::string("a\0b", 3)}) {
    EXPECT_TRUE(breaksCommandLine(value));
  }
}

TEST(MailAuthTest, AddressesThatWouldBreakTheCommandAreNotSendable) {
  EXPECT_TRUE(isSendableAddress("a@x.org"));
  EXPECT_TRUE(isSendableAddress("j\xC3\xB6rg@x.org"));  // SMTPUTF8 addresses are bytes above 127
  for (std::string bad : {std::string(""), std::string("a@x.org>\r\nRCPT TO:<b@y.org"), std::string("a b@x.org"),
                          std::string("a\0@x", 4), std::string("a<b"), std::string("a\tb")}) {
    EXPECT_FALSE(isSendableAddress(bad)) << bad;
  }
}

}  // namespace
}  // namespace vexil::net::mail
