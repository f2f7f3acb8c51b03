#pragma once
// One blocking TCP connection to a mail server, read as lines or blocks. Every wait has a time
// limit: connecting, and each whole reply, must finish within the connection's time-out, so a
// server that stalls, trickles or never ends its reply ends the call instead of holding the script.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/mail/line_buffer.h"

namespace vexil::net::mail {

inline constexpr uint32_t kDefaultMailTimeoutMs = 60'000;

class TlsChannel;

class MailConnection {
 public:
  MailConnection();
  ~MailConnection();
  MailConnection(const MailConnection&) = delete;
  MailConnection& operator=(const MailConnection&) = delete;

  // Resolves the host (a name, else a dotted address) and connects; false with errorText() set.
  bool open(const std::string& host, uint16_t port, uint32_t timeoutMs);
  bool isOpen() const { return socket_ != kNoSocket; }
  // Sends the close alert first when the connection is secure.
  void close();

  // Turns the open connection into TLS: the handshake, then the server's certificate is checked
  // (the named digest, or the system's trust and the server's name). Bytes the server sent in the
  // clear before are dropped, never read as if they had come secured. False with errorText() set.
  bool startTls(const std::string& serverName, const std::optional<std::string>& acceptedDigest);
  bool isSecure() const { return tls_ != nullptr; }

  bool sendAll(std::string_view bytes);
  // One SMTP reply, read to its final line.
  bool readSmtpReply(std::string* reply);
  // One line with its line end, of at most maxBytes.
  bool readLine(size_t maxBytes, std::string* line);
  // A dot-ended multi-line answer, unstuffed, of at most maxBytes. progress is told the bytes
  // stored so far after each block; a false answer stops the transfer (the result is false and
  // errorText() is empty).
  bool readDotted(size_t maxBytes, std::string* data, const std::function<bool(size_t)>& progress);

  // Why the last call failed: the system's text for a socket error, or our own words.
  const std::string& errorText() const { return error_; }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr uintptr_t kNoSocket = ~uintptr_t(0);

  // Waits for bytes and adds them to the line buffer, decrypted when secure.
  bool receive(Clock::time_point deadline);
  // The socket's own bytes.
  bool sendRaw(std::string_view bytes);
  bool receiveRaw(Clock::time_point deadline, std::string* into);
  bool fail(std::string text);
  bool failWithSocketError(int code);
  Clock::time_point deadline() const { return Clock::now() + std::chrono::milliseconds(timeoutMs_); }

  uintptr_t socket_ = kNoSocket;
  uint32_t timeoutMs_ = kDefaultMailTimeoutMs;
  LineBuffer buffer_;
  std::unique_ptr<TlsChannel> tls_;
  std::string sealed_;  // received records not yet decrypted
  std::string error_;
};

// The system's message text for a Windows Sockets error code.
std::string socketErrorText(int code);

}  // namespace vexil::net::mail
