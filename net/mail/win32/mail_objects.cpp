#include "net/mail/win32/mail_objects.h"

namespace vexil::net::mail {

// Filled in when the Mail class offers its services to the transports.
std::optional<OutgoingMail> outgoingMail(script::Engine&, const script::Value&) { return std::nullopt; }
void keepSentMessage(script::Engine&, const script::Value&, const OutgoingMail&) {}
bool newMailFromBytes(script::Engine&, script::Value* target, std::string) {
  target->setNull();
  return false;
}

}  // namespace vexil::net::mail
