#pragma once
// The secure mode a script asks of a mail transport, and the certificate it names as accepted.
// A certificate is named by its fingerprint: the SHA-256 (or SHA-1) digest of its DER bytes, written
// in hex as `openssl x509 -noout -fingerprint -sha256` prints it (colons, blanks and case ignored).
#include <optional>
#include <string>
#include <string_view>

namespace vexil::net::mail {

enum class MailSecurity {
  kNone,      // plain TCP, as the transports have always spoken
  kTls,       // TLS from the first byte (SMTPS, POP3S)
  kStartTls,  // plain greeting, then STARTTLS (SMTP) or STLS (POP3) before anything else
};

inline constexpr char kSecurityNone[] = "none";
inline constexpr char kSecurityTls[] = "tls";
inline constexpr char kSecurityStartTls[] = "starttls";

// "none", "tls" or "starttls", any case; nothing for other words.
std::optional<MailSecurity> parseSecurity(std::string_view word);
const char* securityName(MailSecurity security);

// The digest bytes a fingerprint names (20 for SHA-1, 32 for SHA-256); nothing when the text is not
// 40 or 64 hex digits once colons and blanks are left out.
std::optional<std::string> parseFingerprint(std::string_view text);
// True when the certificate's DER bytes have the digest the fingerprint names (its length says which).
bool fingerprintMatches(std::string_view digest, std::string_view certificateDer);

}  // namespace vexil::net::mail
