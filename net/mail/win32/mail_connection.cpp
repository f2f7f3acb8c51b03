#include "net/mail/win32/mail_connection.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "net/mail/pop3_reply.h"
#include "net/mail/smtp_reply.h"
#include "net/mail/win32/tls_channel.h"
#include "platform/win32/winsock_session.h"

namespace vexil::net::mail {

namespace {

constexpr char kServerClosed[] = "the server closed the connection";
constexpr char kReplyTooLong[] = "the server's reply is too long";
constexpr char kNoHost[] = "the server's address is unknown";

// A name, else a dotted address; IPv4 as the transports have always spoken.
bool resolve(const std::string& host, uint16_t port, sockaddr_in* address) {
  *address = sockaddr_in{};
  address->sin_family = AF_INET;
  address->sin_port = htons(port);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found) {
    address->sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
  }
  unsigned long dotted = inet_addr(host.c_str());
  if (dotted == INADDR_NONE) return false;
  address->sin_addr.s_addr = dotted;
  return true;
}

DWORD remainingMs(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? DWORD(left.count()) : 0;
}

// Waits until the socket is readable (or writable); false when the time is up.
bool waitFor(SOCKET socket, bool forWrite, DWORD ms, bool* failed) {
  fd_set ready, errors;
  FD_ZERO(&ready);
  FD_ZERO(&errors);
  FD_SET(socket, &ready);
  FD_SET(socket, &errors);
  timeval limit{long(ms / 1000), long(ms % 1000) * 1000};
  int count = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &errors, &limit);
  *failed = count == SOCKET_ERROR || FD_ISSET(socket, &errors);
  return count > 0 && FD_ISSET(socket, &ready);
}

}  // namespace

std::string socketErrorText(int code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, DWORD(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                                reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length ? std::string(text, length) : "socket error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
  return result;
}

MailConnection::MailConnection() = default;
MailConnection::~MailConnection() { close(); }

bool MailConnection::fail(std::string text) {
  error_ = std::move(text);
  return false;
}

bool MailConnection::failWithSocketError(int code) { return fail(socketErrorText(code)); }

// Connecting waits at most the time-out: the socket connects without blocking and is then waited
// for, so an address that never answers cannot hold the script for the system's own limit.
bool MailConnection::open(const std::string& host, uint16_t port, uint32_t timeoutMs) {
  close();
  error_.clear();
  timeoutMs_ = timeoutMs;
  if (!platform::startWinsock()) return failWithSocketError(WSAGetLastError());
  sockaddr_in address;
  if (!resolve(host, port, &address)) return fail(kNoHost);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return failWithSocketError(WSAGetLastError());
  socket_ = uintptr_t(s);
  DWORD ms = timeoutMs;
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
    int code = WSAGetLastError();
    bool failed = false;
    if (code != WSAEWOULDBLOCK) return close(), failWithSocketError(code);
    if (!waitFor(s, true, timeoutMs, &failed) || failed) {
      int soError = 0;
      int size = sizeof soError;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &size);
      close();
      return failWithSocketError(soError ? soError : WSAETIMEDOUT);
    }
  }
  nonBlocking = 0;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  return true;
}

void MailConnection::close() {
  if (socket_ != kNoSocket && tls_) {
    std::string alert = tls_->closeNotify();
    std::string error = error_;
    if (!alert.empty()) sendRaw(alert);
    error_ = std::move(error);  // a peer that already left does not change why we close
  }
  if (socket_ != kNoSocket) closesocket(SOCKET(socket_));
  socket_ = kNoSocket;
  buffer_.clear();
  tls_.reset();
  sealed_.clear();
}

bool MailConnection::startTls(const std::string& serverName, const std::optional<std::string>& acceptedDigest) {
  if (!isOpen()) return fail(kServerClosed);
  buffer_.clear();
  auto channel = std::make_unique<TlsChannel>();
  std::string toSend;
  if (!channel->begin(serverName, &toSend)) return fail(channel->errorText());
  Clock::time_point until = deadline();
  std::string incoming;
  TlsChannel::Handshake step = TlsChannel::Handshake::kMore;
  for (;;) {
    // What the handshake produced goes out before we wait for the server's answer to it.
    if (!toSend.empty() && !sendRaw(toSend)) return false;
    toSend.clear();
    if (step == TlsChannel::Handshake::kDone) break;
    if (!receiveRaw(until, &incoming)) return false;
    step = channel->advance(incoming, &toSend);
    if (step == TlsChannel::Handshake::kFailed) return fail(channel->errorText());
  }
  if (!channel->verifyServer(acceptedDigest)) return fail(channel->errorText());
  tls_ = std::move(channel);
  sealed_ = std::move(incoming);
  return true;
}

bool MailConnection::sendAll(std::string_view bytes) {
  if (!isOpen()) return fail(kServerClosed);
  if (!tls_) return sendRaw(bytes);
  std::string records;
  if (!tls_->encrypt(bytes, &records)) return fail(tls_->errorText());
  return sendRaw(records);
}

bool MailConnection::sendRaw(std::string_view bytes) {
  if (!isOpen()) return fail(kServerClosed);
  while (!bytes.empty()) {
    int chunk = int(std::min<size_t>(bytes.size(), 1 << 20));
    int sent = send(SOCKET(socket_), bytes.data(), chunk, 0);
    if (sent == SOCKET_ERROR) return failWithSocketError(WSAGetLastError());
    bytes.remove_prefix(size_t(sent));
  }
  return true;
}

bool MailConnection::receive(Clock::time_point deadline) {
  if (!tls_) {
    std::string got;
    if (!receiveRaw(deadline, &got)) return false;
    buffer_.append(got);
    return true;
  }
  for (;;) {
    std::string plain, toSend;
    TlsChannel::Read read = tls_->decrypt(sealed_, &plain, &toSend);
    if (!toSend.empty() && !sendRaw(toSend)) return false;
    if (read == TlsChannel::Read::kFailed) return fail(tls_->errorText());
    if (read == TlsChannel::Read::kClosed) return fail(kServerClosed);
    if (read == TlsChannel::Read::kData) {
      buffer_.append(plain);
      return true;
    }
    if (!receiveRaw(deadline, &sealed_)) return false;
  }
}

bool MailConnection::receiveRaw(Clock::time_point deadline, std::string* into) {
  if (!isOpen()) return fail(kServerClosed);
  bool failed = false;
  if (!waitFor(SOCKET(socket_), false, remainingMs(deadline), &failed)) {
    return failWithSocketError(failed ? WSAGetLastError() : WSAETIMEDOUT);
  }
  char block[16384];
  int got = recv(SOCKET(socket_), block, sizeof block, 0);
  if (got == SOCKET_ERROR) return failWithSocketError(WSAGetLastError());
  if (got == 0) return fail(kServerClosed);
  into->append(block, size_t(got));
  return true;
}

bool MailConnection::readSmtpReply(std::string* reply) {
  Clock::time_point until = deadline();
  SmtpReplyReader reader;
  for (;;) {
    SmtpReplyReader::State state = reader.read(buffer_);
    if (state == SmtpReplyReader::State::kDone) break;
    if (state == SmtpReplyReader::State::kBad) return fail(kReplyTooLong);
    if (!receive(until)) return false;
  }
  *reply = reader.text();
  return true;
}

bool MailConnection::readLine(size_t maxBytes, std::string* line) {
  Clock::time_point until = deadline();
  for (;;) {
    LineBuffer::Take took = buffer_.takeLine(maxBytes, line);
    if (took == LineBuffer::Take::kLine) return true;
    if (took == LineBuffer::Take::kTooLong) return fail(kReplyTooLong);
    if (!receive(until)) return false;
  }
}

// The time-out applies to each wait for more bytes here (a large message may take longer than
// the time-out in all, as long as it keeps coming).
bool MailConnection::readDotted(size_t maxBytes, std::string* data, const std::function<bool(size_t)>& progress) {
  DotUnstuffer unstuffer;
  data->clear();
  for (;;) {
    std::string_view pending = buffer_.peek();
    buffer_.consume(unstuffer.feed(pending, data));
    if (data->size() > maxBytes) return fail(kReplyTooLong);
    if (progress && !pending.empty() && !progress(data->size())) return fail("");
    if (unstuffer.done()) return true;
    if (!receive(deadline())) return false;
  }
}

}  // namespace vexil::net::mail
