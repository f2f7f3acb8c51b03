#pragma once
// One delivery over its own connection: greeting, EHLO (or HELO), login when the server offers a
// mechanism and the script set credentials, the envelope, the dot-stuffed data and QUIT. Every
// command and reply reaches the progress handler, login secrets masked.
#include <string>
#include <string_view>

#include "net/mail/smtp_reply.h"
#include "net/mime/mail_object.h"
#include "net/mail/win32/mail_transport.h"

namespace vexil::net::mail {

// The handler's kinds.
enum SmtpEvent { kSmtpError = 0, kSmtpReply = 1, kSmtpCommand = 2, kSmtpData = 3 };

inline constexpr char kCannotConnect[] = "can't connect to the smtp server";
inline constexpr char kHiddenSecret[] = "****";
inline constexpr char kStartTlsNotOffered[] = "the server does not offer STARTTLS";
inline constexpr char kNoStartTlsOnCommands[] = "the command connection is secured only with security \"tls\"";

class SmtpDelivery {
 public:
  SmtpDelivery(script::Engine& engine, MailTransport& transport) : engine_(engine), transport_(transport) {}
  bool deliver(const mime::OutgoingMail& mail);

 private:
  bool greetAndLogIn();
  bool startTls();
  // Kind 0 with the reason, and the connection closed.
  bool failSecuring(std::string_view why);
  bool logIn();
  bool logInPlain();
  bool logInLogin();
  bool logInCramMd5();
  bool sendEnvelope(const mime::OutgoingMail& mail);
  bool sendData(std::string_view message);
  // Sends the command, reports it (as shown, when given), reads the reply into reply_ and checks
  // its class.
  bool step(std::string_view command, int expectedClass, std::string_view shown = {});
  bool sendReported(std::string_view bytes);

  script::Engine& engine_;
  MailTransport& transport_;
  MailConnection connection_;
  SmtpCapabilities offered_;
  std::string reply_;
};

// A reply read on the transport's connection and reported; false after a kind 0 report.
bool readReportedReply(script::Engine& engine, MailTransport& transport, MailConnection& connection,
                       std::string* reply);

}  // namespace vexil::net::mail
