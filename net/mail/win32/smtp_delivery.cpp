#include "net/mail/win32/smtp_delivery.h"

#include <winsock2.h>

#include "net/mail/data_lines.h"
#include "net/mail/mail_auth.h"
#include "net/mail/smtp_reply.h"

namespace vexil::net::mail {

namespace {

// Lines are collected and sent in blocks of about this size; each line is still reported.
constexpr size_t kDataBlockBytes = 64 * 1024;

std::string localHostName() {
  char name[257] = {};
  if (gethostname(name, sizeof name - 1) == 0 && name[0] && !breaksCommandLine(name)) return name;
  return "[127.0.0.1]";
}

}  // namespace

bool readReportedReply(script::Engine& engine, MailTransport& transport, MailConnection& connection,
                       std::string* reply) {
  if (!connection.readSmtpReply(reply)) {
    if (!connection.errorText().empty()) transport.report(engine, kSmtpError, connection.errorText());
    return false;
  }
  transport.report(engine, kSmtpReply, *reply);
  return true;
}

bool SmtpDelivery::sendReported(std::string_view bytes) {
  if (connection_.sendAll(bytes)) return true;
  transport_.report(engine_, kSmtpError, connection_.errorText());
  return false;
}

bool SmtpDelivery::step(std::string_view command, int expectedClass, std::string_view shown) {
  if (!sendReported(command)) return false;
  transport_.report(engine_, kSmtpCommand, shown.empty() ? command : shown);
  return readReportedReply(engine_, transport_, connection_, &reply_) && replyInClass(reply_, expectedClass);
}

// Refused before any connection: no sender, no recipient, or an address that would not stand on
// one command line.
bool SmtpDelivery::deliver(const mime::OutgoingMail& mail) {
  const mime::MailEnvelope& envelope = mail.envelope;
  if (!isSendableAddress(envelope.from) || envelope.recipients.empty()) return false;
  for (const std::string& to : envelope.recipients) {
    if (!isSendableAddress(to)) return false;
  }
  if (!transport_.openOn(connection_)) {
    if (!connection_.errorText().empty()) transport_.report(engine_, kSmtpError, connection_.errorText());
    transport_.report(engine_, kSmtpError, kCannotConnect);
    connection_.close();
    return false;
  }
  bool delivered = greetAndLogIn() && sendEnvelope(mail) && sendData(mail.message);
  if (delivered) step("QUIT\r\n", 200);
  connection_.close();
  return delivered;
}

bool SmtpDelivery::greetAndLogIn() {
  if (!readReportedReply(engine_, transport_, connection_, &reply_)) return false;
  std::string host = localHostName();
  if (step("EHLO " + host + "\r\n", 200)) {
    offered_ = parseEhloReply(reply_);
    if (transport_.security == MailSecurity::kStartTls) {
      // What the server offers in the clear is forgotten: only the secured EHLO counts.
      if (!startTls() || !step("EHLO " + host + "\r\n", 200)) return false;
      offered_ = parseEhloReply(reply_);
    }
    return logIn();
  }
  if (transport_.security == MailSecurity::kStartTls) return failSecuring(kStartTlsNotOffered);
  return step("HELO " + host + "\r\n", 200);
}

// Asked for STARTTLS, the delivery never goes on in the clear: a server that does not offer it, or
// refuses it, ends the delivery before anything else is sent.
bool SmtpDelivery::startTls() {
  if (!offered_.startTls) return failSecuring(kStartTlsNotOffered);
  if (!step("STARTTLS\r\n", 200)) return false;
  if (transport_.secure(connection_)) return true;
  return failSecuring(connection_.errorText());
}

bool SmtpDelivery::failSecuring(std::string_view why) {
  transport_.report(engine_, kSmtpError, why);
  connection_.close();
  return false;
}

bool SmtpDelivery::logIn() {
  if (!transport_.hasCredentials()) return true;
  switch (chooseMechanism(offered_)) {
    case AuthMechanism::kCramMd5: return logInCramMd5();
    case AuthMechanism::kLogin: return logInLogin();
    case AuthMechanism::kPlain: return logInPlain();
    case AuthMechanism::kNone: return true;
  }
  return true;
}

bool SmtpDelivery::logInPlain() {
  std::string secret = plainResponse(*transport_.username, *transport_.password);
  return step("AUTH PLAIN " + secret + "\r\n", 200, std::string("AUTH PLAIN ") + kHiddenSecret + "\r\n");
}

bool SmtpDelivery::logInLogin() {
  const std::string hidden = std::string(kHiddenSecret) + "\r\n";
  return step("AUTH LOGIN\r\n", 300) && step(loginResponse(*transport_.username) + "\r\n", 300, hidden) &&
         step(loginResponse(*transport_.password) + "\r\n", 200, hidden);
}

bool SmtpDelivery::logInCramMd5() {
  if (!step("AUTH CRAM-MD5\r\n", 300)) return false;
  std::optional<std::string> answer = cramMd5Response(*transport_.username, *transport_.password, reply_);
  if (!answer) answer = "*";  // an unreadable challenge: cancel the exchange, as the protocol asks
  return step(*answer + "\r\n", 200, std::string(kHiddenSecret) + "\r\n");
}

// MAIL FROM names the size when the server takes SIZE (so an oversize message is refused before
// its data), and 8-bit bodies or addresses when it takes them. Every address of To, Cc and Bcc
// gets a RCPT TO; a refused one is reported and the others are still tried.
bool SmtpDelivery::sendEnvelope(const mime::OutgoingMail& mail) {
  const std::string& from = mail.envelope.from;
  const std::vector<std::string>& recipients = mail.envelope.recipients;
  std::string command = "MAIL FROM:<" + from + ">";
  if (offered_.sizeLimit) command += " SIZE=" + std::to_string(mail.message.size());
  if (offered_.eightBitMime && hasEightBitBytes(mail.message)) command += " BODY=8BITMIME";
  bool utf8 = hasEightBitBytes(from);
  for (const std::string& to : recipients) utf8 = utf8 || hasEightBitBytes(to);
  if (offered_.smtpUtf8 && utf8) command += " SMTPUTF8";
  if (!step(command + "\r\n", 200)) return false;
  for (const std::string& to : recipients) {
    step("RCPT TO:<" + to + ">\r\n", 200);
  }
  return true;
}

bool SmtpDelivery::sendData(std::string_view message) {
  if (!step("DATA\r\n", 300)) return false;
  DataLines lines(message);
  std::string line, block;
  while (lines.next(&line)) {
    block += line;
    if (!transport_.report(engine_, kSmtpData, std::to_string(line.size()))) return false;
    if (block.size() >= kDataBlockBytes) {
      if (!sendReported(block)) return false;
      block.clear();
    }
  }
  if (!sendReported(block)) return false;
  transport_.report(engine_, kSmtpData, "0");
  return step(kEndOfData, 200);
}

}  // namespace vexil::net::mail
