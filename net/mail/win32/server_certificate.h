#pragma once
// Whether a TLS server's certificate is accepted: either it is the very certificate a script named
// by its digest (a self-signed test server), or the system trusts its chain for server use and it
// names the server.
#include <windows.h>
#include <wincrypt.h>

#include <optional>
#include <string>

namespace vexil::net::mail {

inline constexpr char kCertificateNotNamed[] =
    "the server's certificate is not the one named by trustedCertificate";
inline constexpr char kCertificateNotTrusted[] = "the server's certificate is not trusted";

// True when accepted; otherwise *error says why.
bool acceptServerCertificate(const CERT_CONTEXT* certificate, const std::string& serverName,
                             const std::optional<std::string>& acceptedDigest, std::string* error);

}  // namespace vexil::net::mail
