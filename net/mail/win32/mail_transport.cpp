#include "net/mail/win32/mail_transport.h"

#include <vector>

#include "script/runtime/uncaught_errors.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::net::mail {

using script::HostCall;
using script::Tag;
using script::Value;

const std::string& MailTransport::serverName() const {
  static const std::string kDefault = kDefaultServer;
  return server && !server->empty() ? *server : kDefault;
}

bool MailTransport::open(script::Engine& engine) {
  if (openOn(connection)) return true;
  reportError(engine);
  connection.close();
  return false;
}

bool MailTransport::openOn(MailConnection& link) const {
  if (!link.open(serverName(), port, timeoutMs)) return false;
  return security != MailSecurity::kTls || secure(link);
}

bool MailTransport::secure(MailConnection& link) const {
  return link.startTls(serverName(), parseFingerprint(trustedCertificate));
}

bool MailTransport::report(script::Engine& engine, int kind, std::string_view text) {
  if (!script::isCallable(handler)) return true;
  script::StackRoots roots(engine);
  Value* callee = roots.hold(handler);
  Value* argument = roots.hold();
  if (!script::protectedCall(engine, [&] { *argument = script::makeStringFromAnsi(engine, text); })) return true;
  std::vector<Value> block = script::argumentBlock({Value::fromInteger(kind), *argument});
  if (!script::callValue(engine, *callee, block.data())) {
    script::reportUncaught(engine, "Mail progress handler failed: ");
    return true;
  }
  return script::valueToBoolean(engine, engine.lastResult);
}

void MailTransport::reportError(script::Engine& engine) {
  if (!connection.errorText().empty()) report(engine, 0, connection.errorText());
}

std::optional<std::string> narrowText(const Value& value) {
  if (value.tag != Tag::String) return std::nullopt;
  return script::stringToAnsiText(*value.string());
}

namespace {

MailTransport& transport(HostCall& call) { return *call.instance<MailTransport>(); }

void answerText(HostCall& call, const std::optional<std::string>& text) {
  *call.result = script::makeStringFromAnsi(call.engine, text ? *text : std::string());
}

}  // namespace

void getServer(HostCall& call) { answerText(call, transport(call).server); }
void setServer(HostCall& call, const Value& value) {
  if (auto text = narrowText(value)) transport(call).server = std::move(text);
}
void getPort(HostCall& call) { call.result->setInteger(transport(call).port); }
void setPort(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) transport(call).port = uint16_t(value.integer() & 0xFFFF);
}
void getUsername(HostCall& call) { answerText(call, transport(call).username); }
void setUsername(HostCall& call, const Value& value) {
  if (auto text = narrowText(value)) transport(call).username = std::move(text);
}
void getPassword(HostCall& call) { answerText(call, transport(call).password); }
void setPassword(HostCall& call, const Value& value) {
  if (auto text = narrowText(value)) transport(call).password = std::move(text);
}
void getTimeout(HostCall& call) { call.result->setInteger(transport(call).timeoutMs); }
// Milliseconds, at least one; the default is a minute.
void setTimeout(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer && value.integer() >= 1 && value.integer() <= INT32_MAX) {
    transport(call).timeoutMs = uint32_t(value.integer());
  }
}
void getSecurity(HostCall& call) {
  *call.result = script::makeStringFromAnsi(call.engine, securityName(transport(call).security));
}
// "none", "tls" or "starttls"; other values are ignored.
void setSecurity(HostCall& call, const Value& value) {
  std::optional<std::string> word = narrowText(value);
  if (std::optional<MailSecurity> security = word ? parseSecurity(*word) : std::nullopt) {
    transport(call).security = *security;
  }
}
void getTrustedCertificate(HostCall& call) {
  *call.result = script::makeStringFromAnsi(call.engine, transport(call).trustedCertificate);
}
// A SHA-256 or SHA-1 fingerprint, or "" to name none; other values are ignored.
void setTrustedCertificate(HostCall& call, const Value& value) {
  std::optional<std::string> text = narrowText(value);
  if (!text) return;
  if (!text->empty() && !parseFingerprint(*text)) return;
  transport(call).trustedCertificate = *text;
}
void getHandler(HostCall& call) { *call.result = transport(call).handler; }
void setHandler(HostCall& call, const Value& value) {
  if (value.tag == Tag::Function) transport(call).handler = value;
}
void closeConnection(HostCall& call) { transport(call).connection.close(); }

void markTransport(script::Engine& engine, script::NativeClass*, void* data) {
  if (data) script::markValue(engine, static_cast<MailTransport*>(data)->handler);
}

void releaseTransport(script::NativeClass*, void* data) { delete static_cast<MailTransport*>(data); }

}  // namespace vexil::net::mail
