#include "net/mail/win32/server_certificate.h"

#include <cstdio>
#include <string_view>

#include "net/mail/mail_security.h"
#include "platform/win32/wide_text.h"

namespace vexil::net::mail {

namespace {

// Our words for the usual refusals, where the system may have none.
const char* usualReason(DWORD code) {
  switch (code) {
    case DWORD(CERT_E_UNTRUSTEDROOT): return "it is self-signed or its root is not trusted";
    case DWORD(CERT_E_CHAINING): return "no trusted root issued it";
    case DWORD(CERT_E_CN_NO_MATCH): return "it names another server";
    case DWORD(CERT_E_EXPIRED): return "it has expired or is not yet valid";
    case DWORD(CERT_E_WRONG_USAGE): return "it is not for servers";
    case DWORD(CRYPT_E_REVOKED): return "it was revoked";
  }
  return nullptr;
}

// The system's words for a chain or policy error (ours, or its code, when it has none), after our
// own.
std::string notTrusted(DWORD code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                                reinterpret_cast<char*>(&text), 0, nullptr);
  std::string why = length ? std::string(text, length) : std::string(usualReason(code) ? usualReason(code) : "");
  if (text) LocalFree(text);
  while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' ')) why.pop_back();
  char number[16];
  snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
  return std::string(kCertificateNotTrusted) + " (" + (why.empty() ? number : why + ", " + number) + ")";
}

// The chain is built with the certificates the server sent and checked against the system's roots
// under the TLS server policy, which also matches the server's name with the certificate's.
bool chainIsTrusted(const CERT_CONTEXT* certificate, const std::string& serverName, std::string* error) {
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  char* usages[] = {serverAuth};
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  const CERT_CHAIN_CONTEXT* chain = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara, 0, nullptr,
                               &chain)) {
    *error = notTrusted(GetLastError());
    return false;
  }
  std::wstring name = platform::toWide(serverName);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = name.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  BOOL checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
  CertFreeCertificateChain(chain);
  if (!checked) {
    *error = notTrusted(GetLastError());
    return false;
  }
  if (status.dwError != 0) {
    *error = notTrusted(status.dwError);
    return false;
  }
  return true;
}

}  // namespace

bool acceptServerCertificate(const CERT_CONTEXT* certificate, const std::string& serverName,
                             const std::optional<std::string>& acceptedDigest, std::string* error) {
  if (acceptedDigest) {
    std::string_view der(reinterpret_cast<const char*>(certificate->pbCertEncoded), certificate->cbCertEncoded);
    if (fingerprintMatches(*acceptedDigest, der)) return true;
    *error = kCertificateNotNamed;
    return false;
  }
  return chainIsTrusted(certificate, serverName, error);
}

}  // namespace vexil::net::mail
