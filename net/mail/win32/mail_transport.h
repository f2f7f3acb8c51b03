#pragma once
// What SendMail and RecvMail share: the server, port and credentials a script sets, the progress
// handler, the time-out, the connection, and the way events reach the handler.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/mail/mail_security.h"
#include "net/mail/win32/mail_connection.h"
#include "script/runtime/host_class.h"

namespace vexil::net::mail {

// The loopback host name, the server used when a script names none.
inline constexpr char kDefaultServer[] = "localhost";

struct MailTransport {
  explicit MailTransport(uint16_t defaultPort) : port(defaultPort) {}

  std::optional<std::string> server, username, password;
  uint16_t port;
  uint32_t timeoutMs = kDefaultMailTimeoutMs;
  script::Value handler;  // a function, or nothing
  bool apop = false;      // RecvMail only: log in with APOP instead of USER/PASS
  MailSecurity security = MailSecurity::kNone;
  std::string trustedCertificate;             // as the script wrote it; empty: none named
  MailConnection connection;

  const std::string& serverName() const;
  bool hasCredentials() const { return username && password; }
  // Opens the command connection to the server; on failure kind 0 reports why.
  bool open(script::Engine& engine);
  // Opens a connection to the server, secured from the start when the script asked for "tls".
  // False with the connection's error text.
  bool openOn(MailConnection& link) const;
  // Secures an open connection after STARTTLS / STLS; false with the connection's error text.
  bool secure(MailConnection& link) const;
  // Calls the handler with (kind, text); its answer as a boolean, true when there is no handler or
  // it fails.
  bool report(script::Engine& engine, int kind, std::string_view text);
  // Kind 0 with the connection's error text.
  void reportError(script::Engine& engine);
};

// The members both classes have: server, port, username, password, timeout, security,
// trustedCertificate, and the handler under the class's own name.
void getServer(script::HostCall& call);
void setServer(script::HostCall& call, const script::Value& value);
void getPort(script::HostCall& call);
void setPort(script::HostCall& call, const script::Value& value);
void getUsername(script::HostCall& call);
void setUsername(script::HostCall& call, const script::Value& value);
void getPassword(script::HostCall& call);
void setPassword(script::HostCall& call, const script::Value& value);
void getTimeout(script::HostCall& call);
void setTimeout(script::HostCall& call, const script::Value& value);
void getSecurity(script::HostCall& call);
void setSecurity(script::HostCall& call, const script::Value& value);
void getTrustedCertificate(script::HostCall& call);
void setTrustedCertificate(script::HostCall& call, const script::Value& value);
void getHandler(script::HostCall& call);
void setHandler(script::HostCall& call, const script::Value& value);
void closeConnection(script::HostCall& call);

void markTransport(script::Engine& engine, script::NativeClass* cls, void* data);
void releaseTransport(script::NativeClass* cls, void* data);

// A string argument or value as the program's narrow text; nothing for other values.
std::optional<std::string> narrowText(const script::Value& value);

}  // namespace vexil::net::mail
