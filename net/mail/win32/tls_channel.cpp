#include "net/mail/win32/tls_channel.h"

#define SECURITY_WIN32
#include <windows.h>
#include <security.h>
#include <schannel.h>

#include <cstdio>
#include <cstring>

#include "net/mail/win32/server_certificate.h"

namespace vexil::net::mail {

namespace {

// A stream of records, confidential, with replays and reordering detected; the system allocates
// the handshake tokens. Certificates are checked by us after the handshake (verifyServer), so a
// named self-signed certificate can be accepted.
constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;

// Tokens the system allocated, copied out and freed.
void takeTokens(SecBuffer* buffers, size_t count, std::string* out) {
  for (size_t i = 0; i < count; ++i) {
    if (buffers[i].BufferType == SECBUFFER_TOKEN && buffers[i].pvBuffer) {
      if (buffers[i].cbBuffer) out->append(static_cast<const char*>(buffers[i].pvBuffer), buffers[i].cbBuffer);
      FreeContextBuffer(buffers[i].pvBuffer);
      buffers[i].pvBuffer = nullptr;
    }
  }
}

// What a SECBUFFER_EXTRA left unread: the tail of incoming of that length.
void keepExtra(const SecBuffer* buffers, size_t count, std::string& incoming) {
  for (size_t i = 0; i < count; ++i) {
    if (buffers[i].BufferType == SECBUFFER_EXTRA && buffers[i].cbBuffer <= incoming.size()) {
      incoming.erase(0, incoming.size() - buffers[i].cbBuffer);
      return;
    }
  }
  incoming.clear();
}

}  // namespace

struct TlsChannel::Session {
  CredHandle credentials{};
  CtxtHandle context{};
  bool hasCredentials = false, hasContext = false, established = false;
  SecPkgContext_StreamSizes sizes{};

  ~Session() {
    if (hasContext) DeleteSecurityContext(&context);
    if (hasCredentials) FreeCredentialsHandle(&credentials);
  }
};

TlsChannel::TlsChannel() : session_(std::make_unique<Session>()) {}
TlsChannel::~TlsChannel() = default;

bool TlsChannel::fail(std::string text) {
  error_ = std::move(text);
  return false;
}

bool TlsChannel::failWithStatus(const char* what, long status) {
  char number[16];
  snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(status));
  return fail(std::string(what) + " (" + number + ")");
}

bool TlsChannel::begin(const std::string& serverName, std::string* toSend) {
  serverName_ = serverName;
  SCHANNEL_CRED settings{};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
  TimeStamp expiry;
  SECURITY_STATUS status = AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                                     nullptr, &settings, nullptr, nullptr, &session_->credentials,
                                                     &expiry);
  if (status != SEC_E_OK) return failWithStatus("the system offers no TLS", status);
  session_->hasCredentials = true;
  SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
  SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
  ULONG granted = 0;
  status = InitializeSecurityContextA(&session_->credentials, nullptr, serverName_.data(), kContextFlags, 0, 0,
                                      nullptr, 0, &session_->context, &outDesc, &granted, &expiry);
  takeTokens(out, 1, toSend);
  if (status != SEC_I_CONTINUE_NEEDED && status != SEC_E_OK) return failWithStatus("the TLS handshake failed", status);
  session_->hasContext = true;
  return true;
}

TlsChannel::Handshake TlsChannel::advance(std::string& incoming, std::string* toSend) {
  int offers = 0;
  while (!incoming.empty()) {
    SecBuffer in[2] = {{ULONG(incoming.size()), SECBUFFER_TOKEN, incoming.data()}, {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
    ULONG granted = 0;
    TimeStamp expiry;
    SECURITY_STATUS status =
        InitializeSecurityContextA(&session_->credentials, &session_->context, serverName_.data(), kContextFlags, 0, 0,
                                   &inDesc, 0, nullptr, &outDesc, &granted, &expiry);
    takeTokens(out, 1, toSend);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return Handshake::kMore;
    // Asked for a client certificate: we have none, and the same bytes are offered again without.
    if (status == SEC_I_INCOMPLETE_CREDENTIALS && ++offers < 3) continue;
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
      failWithStatus("the TLS handshake failed", status);
      return Handshake::kFailed;
    }
    keepExtra(in, 2, incoming);
    if (status == SEC_E_OK) {
      status = QueryContextAttributesA(&session_->context, SECPKG_ATTR_STREAM_SIZES, &session_->sizes);
      if (status != SEC_E_OK) {
        failWithStatus("the TLS handshake failed", status);
        return Handshake::kFailed;
      }
      session_->established = true;
      return Handshake::kDone;
    }
  }
  return Handshake::kMore;
}

bool TlsChannel::verifyServer(const std::optional<std::string>& acceptedDigest) {
  const CERT_CONTEXT* certificate = nullptr;
  SECURITY_STATUS status = QueryContextAttributesA(&session_->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
  if (status != SEC_E_OK || !certificate) return fail("the server sent no certificate");
  bool accepted = acceptServerCertificate(certificate, serverName_, acceptedDigest, &error_);
  CertFreeCertificateContext(certificate);
  return accepted;
}

bool TlsChannel::encrypt(std::string_view plain, std::string* out) {
  const SecPkgContext_StreamSizes& sizes = session_->sizes;
  std::string record;
  while (!plain.empty()) {
    size_t chunk = std::min<size_t>(plain.size(), sizes.cbMaximumMessage);
    record.assign(sizes.cbHeader + chunk + sizes.cbTrailer, '\0');
    std::memcpy(record.data() + sizes.cbHeader, plain.data(), chunk);
    SecBuffer buffers[4] = {{sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                            {ULONG(chunk), SECBUFFER_DATA, record.data() + sizes.cbHeader},
                            {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + chunk},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = EncryptMessage(&session_->context, 0, &desc, 0);
    if (status != SEC_E_OK) return failWithStatus("TLS could not encrypt", status);
    out->append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    plain.remove_prefix(chunk);
  }
  return true;
}

TlsChannel::Read TlsChannel::decrypt(std::string& incoming, std::string* plain, std::string* toSend) {
  bool any = false;
  while (!incoming.empty()) {
    SecBuffer buffers[4] = {{ULONG(incoming.size()), SECBUFFER_DATA, incoming.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&session_->context, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) break;
    if (status == SEC_I_CONTEXT_EXPIRED) return Read::kClosed;  // the server's close alert
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) {
      failWithStatus("TLS could not decrypt", status);
      return Read::kFailed;
    }
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA && b.cbBuffer) {
        plain->append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
        any = true;
      }
    }
    keepExtra(buffers, 4, incoming);
    // A server may renew the session (new keys, or tickets after a TLS 1.3 handshake): the handshake
    // goes on with what followed the record.
    if (status == SEC_I_RENEGOTIATE && advance(incoming, toSend) == Handshake::kFailed) return Read::kFailed;
  }
  return any ? Read::kData : Read::kMore;
}

std::string TlsChannel::closeNotify() {
  std::string alert;
  if (!session_->established) return alert;
  DWORD kind = SCHANNEL_SHUTDOWN;
  SecBuffer control[1] = {{sizeof kind, SECBUFFER_TOKEN, &kind}};
  SecBufferDesc controlDesc{SECBUFFER_VERSION, 1, control};
  if (ApplyControlToken(&session_->context, &controlDesc) != SEC_E_OK) return alert;
  SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
  SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
  ULONG granted = 0;
  TimeStamp expiry;
  InitializeSecurityContextA(&session_->credentials, &session_->context, serverName_.data(), kContextFlags, 0, 0,
                             nullptr, 0, nullptr, &outDesc, &granted, &expiry);
  takeTokens(out, 1, &alert);
  session_->established = false;
  return alert;
}

}  // namespace vexil::net::mail
