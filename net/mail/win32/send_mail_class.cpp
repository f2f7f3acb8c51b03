// SendMail: delivers a Mail to an SMTP server in one blocking call, and offers a raw command
// connection for scripts that speak the protocol themselves.
#include "net/mail/win32/mail_transport.h"
#include "net/mail/win32/mail_transport_classes.h"
#include "net/mail/win32/smtp_delivery.h"
#include "net/mime/mail_object.h"
#include "script/runtime/script_string.h"

namespace vexil::net::mail {

namespace {

using script::HostCall;

constexpr uint16_t kSmtpPort = 25;

MailTransport& transport(HostCall& call) { return *call.instance<MailTransport>(); }

void construct(HostCall& call) { call.publish(std::make_unique<MailTransport>(kSmtpPort)); }

// A Mail with a sender and a recipient, or false without a word to any server.
void send(HostCall& call) {
  call.result->setBoolean(false);
  const script::Value* argument = call.args.at(1);
  std::optional<mime::OutgoingMail> mail = argument ? mime::outgoingMail(*argument) : std::nullopt;
  if (!mail) return;
  SmtpDelivery delivery(call.engine, transport(call));
  bool delivered = delivery.deliver(*mail);
  mime::settleSentMail(*argument);
  call.result->setBoolean(delivered);
}

// The command connection is secured from the start with "tls". With "starttls" it is not opened:
// the script would speak the first commands in the clear, and the upgrade is the delivery's own.
void connect(HostCall& call) {
  MailTransport& self = transport(call);
  if (self.security == MailSecurity::kStartTls) {
    self.connection.close();
    self.report(call.engine, kSmtpError, kNoStartTlsOnCommands);
    return call.result->setBoolean(false);
  }
  call.result->setBoolean(self.open(call.engine));
}

// The script's bytes as they are (it writes its own line ends), then one whole reply.
void command(HostCall& call) {
  call.result->setBoolean(false);
  MailTransport& self = transport(call);
  std::optional<std::string> text = call.args.ansi(1);
  if (!text || !self.connection.isOpen()) return;
  if (!self.connection.sendAll(*text)) return self.reportError(call.engine);
  self.report(call.engine, kSmtpCommand, *text);
  std::string reply;
  if (!readReportedReply(call.engine, self, self.connection, &reply)) return;
  *call.result = script::makeStringFromAnsi(call.engine, reply);
}

void write(HostCall& call) {
  call.result->setBoolean(false);
  MailTransport& self = transport(call);
  std::optional<std::string> text = call.args.ansi(1);
  if (!text || !self.connection.isOpen()) return;
  if (!self.connection.sendAll(*text)) return self.reportError(call.engine);
  call.result->setBoolean(true);
}

const script::HostMethodEntry kMethods[] = {
    {"send", send},
    {"connect", connect},
    {"command", command},
    {"write", write},
    {"close", closeConnection},
};

const script::HostPropertyEntry kProperties[] = {
    {"server", getServer, setServer},
    {"port", getPort, setPort},
    {"username", getUsername, setUsername},
    {"password", getPassword, setPassword},
    {"timeout", getTimeout, setTimeout},
    {"security", getSecurity, setSecurity},
    {"trustedCertificate", getTrustedCertificate, setTrustedCertificate},
    {"onSend", getHandler, setHandler},
};

const script::HostClassInfo kSendMailClass = {
    .name = "SendMail",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = releaseTransport,
    .mark = markTransport,
};

}  // namespace

void registerSendMail(script::Engine& engine) { script::defineHostClass(engine, kSendMailClass); }

}  // namespace vexil::net::mail
