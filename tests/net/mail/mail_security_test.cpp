#include "net/mail/mail_security.h"

#include <gtest/gtest.h>

namespace vexil::net::mail {
namespace {

TEST(MailSecurityTest, SecurityWordsAreNoneTlsOrStartTlsInAnyCase) {
  struct Case {
    const char* word;
    std::optional<MailSecurity> security;
  };
  const Case cases[] = {
      {"none", MailSecurity::kNone},   {"TLS", MailSecurity::kTls},      {"StartTLS", MailSecurity::kStartTls},
      {"ssl", std::nullopt},           {"", std::nullopt},               {"tls ", std::nullopt},
      {"starttls\r\n", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseSecurity(c.word), c.security) << c.word;
    if (c.security) {
      EXPECT_EQ(parseSecurity(securityName(*c.security)), c.security);
    }
  }
}

// Digests of the three bytes "abc" stand in for a certificate's DER bytes.
constexpr char kAbcSha256[] = "BA:78:16:BF:8F:01:CF:EA:41:41:40:DE:5D:AE:22:23:B0:03:61:A3:96:17:7A:9C:B4:10:FF:61:F2:00:15:AD";
constexpr char kAbcSha1[] = "a9993e364706816aba3e25717850c26c9cd0d89d";

TEST(MailSecurityTest, FingerprintsAreFortyOrSixtyFourHexDigitsWithOptionalSeparators) {
  struct Case {
    const char* text;
    size_t digestBytes;  // 0: refused
  };
  const Case cases[] = {
      {kAbcSha256, 32},
      {kAbcSha1, 20},
      {"a9 99 3e 36 47 06 81 6a ba 3e 25 71 78 50 c2 6c 9c d0 d8 9d", 20},
      {"a9993e364706816aba3e25717850c26c9cd0d89", 0},    // 39 digits
      {"a9993e364706816aba3e25717850c26c9cd0d89dd", 0},  // 41 digits
      {"g9993e364706816aba3e25717850c26c9cd0d89d", 0},   // not hex
      {"SHA256 Fingerprint=BA:78", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    std::optional<std::string> digest = parseFingerprint(c.text);
    EXPECT_EQ(digest ? digest->size() : 0, c.digestBytes) << c.text;
  }
}

TEST(MailSecurityTest, AFingerprintMatchesOnlyTheBytesItWasTakenFrom) {
  for (const char* text : {kAbcSha256, kAbcSha1}) {
    std::string digest = *parseFingerprint(text);
    EXPECT_TRUE(fingerprintMatches(digest, "abc")) << text;
    EXPECT_FALSE(fingerprintMatches(digest, "abd")) << text;
    EXPECT_FALSE(fingerprintMatches(digest, "")) << text;
  }
  EXPECT_FALSE(fingerprintMatches("", "abc"));
  EXPECT_FALSE(fingerprintMatches(std::string(16, 'x'), "abc"));
}

}  // namespace
}  // namespace vexil::net::mail
