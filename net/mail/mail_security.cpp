#include "net/mail/mail_security.h"

#include <gcrypt.h>

#include "objects/encryption/crypto_library.h"
#include "platform/text_case.h"

namespace vexil::net::mail {

std::optional<MailSecurity> parseSecurity(std::string_view word) {
  for (MailSecurity security : {MailSecurity::kNone, MailSecurity::kTls, MailSecurity::kStartTls}) {
    if (platform::equalsIgnoringAsciiCase(word, securityName(security))) return security;
  }
  return std::nullopt;
}

const char* securityName(MailSecurity security) {
  switch (security) {
    case MailSecurity::kTls: return kSecurityTls;
    case MailSecurity::kStartTls: return kSecurityStartTls;
    case MailSecurity::kNone: break;
  }
  return kSecurityNone;
}

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> parseFingerprint(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c == ':' || c == ' ' || c == '\t') continue;
    if (hexValue(c) < 0) return std::nullopt;
    digits.push_back(c);
  }
  if (digits.size() != 40 && digits.size() != 64) return std::nullopt;
  std::string digest;
  for (size_t i = 0; i < digits.size(); i += 2) {
    digest.push_back(char(hexValue(digits[i]) * 16 + hexValue(digits[i + 1])));
  }
  return digest;
}

bool fingerprintMatches(std::string_view digest, std::string_view certificateDer) {
  int algorithm = digest.size() == 20 ? GCRY_MD_SHA1 : digest.size() == 32 ? GCRY_MD_SHA256 : 0;
  if (!algorithm) return false;
  objects::ensureCryptoLibrary();
  std::string computed(digest.size(), '\0');
  gcry_md_hash_buffer(algorithm, computed.data(), certificateDer.data(), certificateDer.size());
  return computed == digest;
}

}  // namespace vexil::net::mail
