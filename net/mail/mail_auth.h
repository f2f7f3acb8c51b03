#pragma once
// The answers a client gives when it logs in: SMTP's PLAIN, LOGIN and CRAM-MD5, and POP3's APOP.
// MD5 and HMAC-MD5 come from the cryptographic library the program already links.
#include <optional>
#include <string>
#include <string_view>

namespace vexil::net::mail {

// base64 of NUL, user, NUL, password.
std::string plainResponse(std::string_view user, std::string_view password);
// base64 of one value (LOGIN sends the user and the password this way).
std::string loginResponse(std::string_view value);
// 32 lower-case hex digits of HMAC-MD5 keyed with key over data.
std::string hmacMd5Hex(std::string_view key, std::string_view data);
// The answer to a "334 <base64 challenge>" reply: base64 of user, a space and the digest keyed with
// the password. Nothing when the reply holds no readable challenge.
std::optional<std::string> cramMd5Response(std::string_view user, std::string_view password,
                                           std::string_view challengeReply);
// The APOP digest: 32 lower-case hex digits of MD5 over the greeting's timestamp and the password.
std::string apopDigest(std::string_view timestamp, std::string_view password);

// True when a value holds a byte that would end or split a command line (CR, LF or NUL).
bool breaksCommandLine(std::string_view value);
// True when the address can stand inside "<...>" on a command line: not empty, and no control
// byte, blank or angle bracket.
bool isSendableAddress(std::string_view address);

}  // namespace vexil::net::mail
