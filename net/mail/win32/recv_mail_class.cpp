// RecvMail: a blocking POP3 client. It logs in (USER/PASS, or APOP when asked), lists, fetches and
// deletes messages, and hands fetched messages back as parsed Mail objects.
#include <string>

#include "net/mail/mail_auth.h"
#include "net/mail/pop3_reply.h"
#include "net/mail/win32/mail_transport.h"
#include "net/mail/win32/mail_transport_classes.h"
#include "net/mime/mail_object.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::net::mail {

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr uint16_t kPop3Port = 110;
enum Pop3Event { kPop3Error = 0, kPop3Negative = 1, kPop3Progress = 3 };
constexpr char kStlsRefused[] = "the server does not offer STLS";

// Bounds on what a server may send for one answer.
constexpr size_t kMaxListingBytes = 16 * 1024 * 1024;
constexpr size_t kMaxMessageBytes = 128 * 1024 * 1024;

MailTransport& self(HostCall& call) { return *call.instance<MailTransport>(); }

void construct(HostCall& call) { call.publish(std::make_unique<MailTransport>(kPop3Port)); }

bool connectionFailed(HostCall& call) {
  MailTransport& r = self(call);
  r.reportError(call.engine);
  r.connection.close();  // the answer's rest would be read as the next one's
  return false;
}

// Sends the command and reads its status line; a negative one is reported with kind 1.
bool statusOf(HostCall& call, const std::string& command, std::string* status) {
  MailTransport& r = self(call);
  if (!r.connection.isOpen()) return false;
  if (!r.connection.sendAll(command) || !r.connection.readLine(kMaxStatusLineBytes, status)) {
    return connectionFailed(call);
  }
  if (isPositiveStatus(*status)) return true;
  r.report(call.engine, kPop3Negative, *status);
  return false;
}

bool simpleCommand(HostCall& call, const std::string& command) {
  std::string status;
  return statusOf(call, command, &status);
}

bool logIn(HostCall& call, const std::string& greeting) {
  MailTransport& r = self(call);
  if (breaksCommandLine(*r.username) || breaksCommandLine(*r.password)) return false;
  if (r.apop) {
    std::optional<std::string> stamp = apopTimestamp(greeting);
    return stamp && simpleCommand(call, "APOP " + *r.username + " " + apopDigest(*stamp, *r.password) + "\r\n");
  }
  return simpleCommand(call, "USER " + *r.username + "\r\n") && simpleCommand(call, "PASS " + *r.password + "\r\n");
}

// Asked for STLS, nothing else is sent until the connection is secured: a server that refuses it
// ends the connect.
bool startTls(HostCall& call) {
  MailTransport& r = self(call);
  std::string status;
  if (!statusOf(call, "STLS\r\n", &status)) {
    if (r.connection.isOpen()) r.report(call.engine, kPop3Error, kStlsRefused);
    return false;
  }
  if (r.secure(r.connection)) return true;
  r.reportError(call.engine);
  return false;
}

void connect(HostCall& call) {
  MailTransport& r = self(call);
  call.result->setBoolean(false);
  if (!r.open(call.engine)) return;
  std::string greeting;
  if (!r.connection.readLine(kMaxStatusLineBytes, &greeting)) return (void)connectionFailed(call);
  if (r.security == MailSecurity::kStartTls && !startTls(call)) return r.connection.close();
  if (r.hasCredentials() && !logIn(call, greeting)) return r.connection.close();
  call.result->setBoolean(true);
}

// An argument that must be an integer message number (or line count).
std::optional<int64_t> numberArgument(HostCall& call, uint32_t i) {
  if (!call.args.has(i, Tag::Integer)) return std::nullopt;
  int64_t n = call.args.at(i)->integer();
  if (n < 0 || n > INT32_MAX) return std::nullopt;
  return n;
}

void stat(HostCall& call) {
  call.result->setNull();
  std::string status;
  if (statusOf(call, "STAT\r\n", &status)) *call.result = script::makeStringFromAnsi(call.engine, statusText(status));
}

bool readDotted(HostCall& call, size_t maxBytes, std::string* data, bool reportProgress) {
  MailTransport& r = self(call);
  std::function<bool(size_t)> progress;
  if (reportProgress) {
    progress = [&](size_t stored) { return r.report(call.engine, kPop3Progress, std::to_string(stored)); };
  }
  if (r.connection.readDotted(maxBytes, data, progress)) return true;
  return connectionFailed(call);
}

void answerListingValue(HostCall& call, const ListingEntry& entry, bool numeric) {
  if (!numeric) {
    *call.result = script::makeStringFromAnsi(call.engine, entry.value);
  } else if (std::optional<int64_t> size = listingSize(entry)) {
    call.result->setInteger(*size);
  }
}

// Element (number - 1) of the array holds each message's value; numbers are bounded, so a server
// that names message 2^31 cannot make us size an array for it.
void answerListing(HostCall& call, std::string_view data, bool numeric) {
  script::StackRoots roots(call.engine);
  Value* list = roots.hold();
  script::ArrayRecord* array = script::newArray(call.engine);
  list->setArray(array);
  Value* element = roots.hold();
  for (const ListingEntry& entry : parseListing(data)) {
    element->setUndefined();
    HostCall one{call.engine, call.cls, call.self, call.args, element};
    answerListingValue(one, entry, numeric);
    if (element->tag != Tag::Undefined) script::storeElement(call.engine, *array, uint64_t(entry.number - 1), *element);
  }
  *call.result = *list;
}

void listing(HostCall& call, const char* verb, bool numeric) {
  call.result->setNull();
  std::string status;
  if (call.args.count() >= 1) {
    std::optional<int64_t> n = numberArgument(call, 1);
    if (!n || !statusOf(call, std::string(verb) + " " + std::to_string(*n) + "\r\n", &status)) return;
    if (std::optional<ListingEntry> entry = parseListingStatus(status)) answerListingValue(call, *entry, numeric);
    return;
  }
  std::string data;
  if (!statusOf(call, std::string(verb) + "\r\n", &status) || !readDotted(call, kMaxListingBytes, &data, false)) return;
  answerListing(call, data, numeric);
}

void list(HostCall& call) { listing(call, "LIST", true); }
void uidl(HostCall& call) { listing(call, "UIDL", false); }

void retr(HostCall& call) {
  call.result->setNull();
  std::optional<int64_t> n = numberArgument(call, 1);
  std::string status, message;
  if (!n || !statusOf(call, "RETR " + std::to_string(*n) + "\r\n", &status)) return;
  if (!readDotted(call, kMaxMessageBytes, &message, true)) return;
  mime::newMailFromMessage(call.engine, call.result, message);
}

void top(HostCall& call) {
  call.result->setNull();
  std::optional<int64_t> n = numberArgument(call, 1), lines = numberArgument(call, 2);
  std::string status, text;
  if (!n || !lines || !statusOf(call, "TOP " + std::to_string(*n) + " " + std::to_string(*lines) + "\r\n", &status)) return;
  if (readDotted(call, kMaxMessageBytes, &text, true)) *call.result = script::makeStringFromAnsi(call.engine, text);
}

void dele(HostCall& call) {
  std::optional<int64_t> n = numberArgument(call, 1);
  call.result->setBoolean(n && simpleCommand(call, "DELE " + std::to_string(*n) + "\r\n"));
}
void noop(HostCall& call) { call.result->setBoolean(simpleCommand(call, "NOOP\r\n")); }
void rset(HostCall& call) { call.result->setBoolean(simpleCommand(call, "RSET\r\n")); }
// The connection stays open until close.
void quit(HostCall& call) { call.result->setBoolean(simpleCommand(call, "QUIT\r\n")); }

void getApop(HostCall& call) { call.result->setBoolean(self(call).apop); }
void setApop(HostCall& call, const Value& value) {
  if (value.tag == Tag::Boolean) self(call).apop = value.boolean();
}

const script::HostMethodEntry kMethods[] = {
    {"connect", connect}, {"close", closeConnection}, {"stat", stat}, {"list", list},
    {"uidl", uidl},       {"retr", retr},             {"top", top},   {"dele", dele},
    {"noop", noop},       {"rset", rset},             {"quit", quit},
};

const script::HostPropertyEntry kProperties[] = {
    {"server", getServer, setServer},
    {"port", getPort, setPort},
    {"username", getUsername, setUsername},
    {"password", getPassword, setPassword},
    {"timeout", getTimeout, setTimeout},
    {"apop", getApop, setApop},
    {"security", getSecurity, setSecurity},
    {"trustedCertificate", getTrustedCertificate, setTrustedCertificate},
    {"onRecv", getHandler, setHandler},
};

const script::HostClassInfo kRecvMailClass = {
    .name = "RecvMail",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = releaseTransport,
    .mark = markTransport,
};

}  // namespace

void registerRecvMail(script::Engine& engine) { script::defineHostClass(engine, kRecvMailClass); }

}  // namespace vexil::net::mail
