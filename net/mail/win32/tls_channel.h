#pragma once
// One TLS client session through the system's SChannel. It does no I/O of its own: the connection
// hands it the bytes it received and sends the bytes it is given back, so the connection's time
// limits hold for the handshake and for every record alike.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vexil::net::mail {

class TlsChannel {
 public:
  enum class Handshake { kMore, kDone, kFailed };
  enum class Read { kMore, kData, kClosed, kFailed };

  TlsChannel();
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Starts the handshake with the server of that name; *toSend gets the first bytes to send.
  bool begin(const std::string& serverName, std::string* toSend);
  // Takes what it can of the received bytes (used bytes are removed from incoming) and adds to
  // *toSend what must go out before waiting for more. After kDone, incoming holds what followed
  // the handshake.
  Handshake advance(std::string& incoming, std::string* toSend);
  // Checks the server's certificate: the digest when one is named, else the system's chain and
  // the server's name.
  bool verifyServer(const std::optional<std::string>& acceptedDigest);

  // The plain bytes as records, appended to *out.
  bool encrypt(std::string_view plain, std::string* out);
  // Decrypts the whole records in incoming, appending their bytes to *plain (kData when any came).
  // *toSend gets what the session must answer (a renewed handshake).
  Read decrypt(std::string& incoming, std::string* plain, std::string* toSend);
  // The close alert to send before closing the socket; empty when there is none.
  std::string closeNotify();

  const std::string& errorText() const { return error_; }

 private:
  struct Session;
  bool fail(std::string text);
  bool failWithStatus(const char* what, long status);

  std::unique_ptr<Session> session_;
  std::string serverName_;
  std::string error_;
};

}  // namespace vexil::net::mail
