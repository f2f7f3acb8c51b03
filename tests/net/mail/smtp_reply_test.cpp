// SMTP replies: read to their final line whatever pieces they arrive in, bounded, and the
// capabilities and login mechanisms an EHLO reply offers.
#include <gtest/gtest.h>

#include <string>

#include "net/mail/smtp_reply.h"

namespace vexil::net::mail {
namespace {

TEST(SmtpReplyTest, AReplyEndsAtItsFinalLineAndLeavesTheRestForTheNext) {
  struct Case {
    std::string bytes, reply, left;
  };
  const Case cases[] = {
      {"220 ready\r\n", "220 ready\r\n", ""},
      {"250-one\r\n250-two\r\n250 three\r\n", "250-one\r\n250-two\r\n250 three\r\n", ""},
      {"250\r\n", "250\r\n", ""},
      {"354 go\r\n250 queued\r\n", "354 go\r\n", "250 queued\r\n"},
      {"250-a\n250 b\n", "250-a\n250 b\n", ""},
      {"garbage\r\n", "garbage\r\n", ""},
  };
  for (const Case& c : cases) {
    LineBuffer buffer;
    SmtpReplyReader reader;
    // Byte by byte: a reply split anywhere reads the same; the bytes after it arrive later.
    size_t fed = 0;
    while (fed < c.bytes.size()) {
      buffer.append(c.bytes.substr(fed++, 1));
      if (reader.read(buffer) == SmtpReplyReader::State::kDone) break;
    }
    buffer.append(c.bytes.substr(fed));
    EXPECT_EQ(reader.read(buffer), SmtpReplyReader::State::kDone) << c.bytes;
    EXPECT_EQ(reader.text(), c.reply);
    EXPECT_EQ(std::string(buffer.peek()), c.left);
  }
}

TEST(SmtpReplyTest, AnUnfinishedReplyWaitsForMore) {
  LineBuffer buffer;
  buffer.append("250-first\r\n250 sec");
  SmtpReplyReader reader;
  EXPECT_EQ(reader.read(buffer), SmtpReplyReader::State::kMore);
  buffer.append("ond\r\n");
  EXPECT_EQ(reader.read(buffer), SmtpReplyReader::State::kDone);
  EXPECT_EQ(reader.text(), "250-first\r\n250 second\r\n");
}

TEST(SmtpReplyTest, OverlongLinesAndRepliesAreRefused) {
  const std::string cases[] = {
      std::string(kMaxReplyLineBytes + 1, 'x'),                       // a line that never ends
      std::string(kMaxReplyLineBytes, 'x') + "\r\n",                  // a line over the bound
  };
  for (const std::string& bytes : cases) {
    LineBuffer buffer;
    buffer.append(bytes);
    SmtpReplyReader reader;
    EXPECT_EQ(reader.read(buffer), SmtpReplyReader::State::kBad);
  }
  LineBuffer buffer;
  SmtpReplyReader reader;
  SmtpReplyReader::State state = SmtpReplyReader::State::kMore;
  for (int i = 0; i < 10000 && state == SmtpReplyReader::State::kMore; ++i) {
    buffer.append("250-" + std::string(60, 'y') + "\r\n");
    state = reader.read(buffer);
  }
  EXPECT_EQ(state, SmtpReplyReader::State::kBad);  // an endless multi-line reply
}

TEST(SmtpReplyTest, CodesAndClassesComeFromTheFinalLine) {
  struct Case {
    const char* reply;
    int code;  // -1: none
    int expectedClass;
    bool inClass;
  };
  const Case cases[] = {
      {"250 ok\r\n", 250, 200, true},
      {"354 go ahead\r\n", 354, 300, true},
      {"250-SIZE\r\n535 no\r\n", 535, 200, false},
      {"199 low\r\n", 199, 200, false},
      {"300 edge\r\n", 300, 200, false},
      {"abc\r\n", -1, 200, false},
      {"", -1, 200, false},
  };
  for (const Case& c : cases) {
    std::optional<int> code = replyCode(c.reply);
    EXPECT_EQ(code.value_or(-1), c.code) << c.reply;
    EXPECT_EQ(replyInClass(c.reply, c.expectedClass), c.inClass) << c.reply;
  }
}

TEST(SmtpReplyTest, EhloCapabilitiesAndTheChosenMechanism) {
  struct Case {
    const char* reply;
    AuthMechanism chosen;
    std::optional<uint64_t> size;
    bool eightBit;
  };
  const Case cases[] = {
      {"250-mail.test\r\n250-AUTH LOGIN PLAIN\r\n250 HELP\r\n", AuthMechanism::kLogin, std::nullopt, false},
      {"250-mail.test\r\n250-SIZE 1000\r\n250 AUTH PLAIN LOGIN CRAM-MD5\r\n", AuthMechanism::kCramMd5, 1000, false},
      {"250-mail.test\r\n250 AUTH=plain\r\n", AuthMechanism::kPlain, std::nullopt, false},
      {"250-mail.test\r\n250-8BITMIME\r\n250-SIZE\r\n250 auth cram-md5\r\n", AuthMechanism::kCramMd5, 0, true},
      // AUTH not at the start of a capability line, or on the greeting line, is not an offer.
      {"250-mail.test says AUTH LOGIN\r\n250-X-AUTH LOGIN\r\n250 HELP\r\n", AuthMechanism::kNone, std::nullopt, false},
      {"250-mail.test\r\n250 AUTHX LOGIN\r\n", AuthMechanism::kNone, std::nullopt, false},
      {"250 mail.test\r\n", AuthMechanism::kNone, std::nullopt, false},
      {"250-mail.test\r\n250 AUTH GSSAPI XOAUTH2\r\n", AuthMechanism::kNone, std::nullopt, false},
  };
  for (const Case& c : cases) {
    SmtpCapabilities offered = parseEhloReply(c.reply);
    EXPECT_EQ(chooseMechanism(offered), c.chosen) << c.reply;
    EXPECT_EQ(offered.sizeLimit, c.size) << c.reply;
    EXPECT_EQ(offered.eightBitMime, c.eightBit) << c.reply;
  }
}

// STARTTLS counts only as a capability line of its own, never on the greeting line or inside text.
TEST(SmtpReplyTest, StartTlsIsOfferedOnlyOnACapabilityLine) {
  struct Case {
    const char* reply;
    bool offered;
  };
  const Case cases[] = {
      {"250-mail.test\r\n250-STARTTLS\r\n250 HELP\r\n", true},
      {"250-mail.test\r\n250 starttls\r\n", true},
      {"250 mail.test STARTTLS\r\n", false},
      {"250-mail.test\r\n250-X-STARTTLS\r\n250 HELP\r\n", false},
      {"250-mail.test\r\n250 HELP STARTTLS\r\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(parseEhloReply(c.reply).startTls, c.offered) << c.reply;
}

}  // namespace
}  // namespace vexil::net::mail
