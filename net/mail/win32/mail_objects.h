#pragma once
// What the transports need from Mail objects: the bytes and envelope of a message to send, and a
// new Mail made from the bytes of a fetched message.
#include <optional>
#include <string>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::net::mail {

struct OutgoingMail {
  std::string message;  // the header block (without Bcc) and the body
  std::string from, to, cc, bcc;
  bool hasFrom = false, hasTo = false;
};

// Nothing when the value is not a Mail.
std::optional<OutgoingMail> outgoingMail(script::Engine& engine, const script::Value& mail);
// After a delivery attempt: a modified Mail keeps the message as it was sent and is no longer
// modified.
void keepSentMessage(script::Engine& engine, const script::Value& mail, const OutgoingMail& sent);
// A new Mail holding the message, parsed, in *target; false (and Null) when none can be made.
bool newMailFromBytes(script::Engine& engine, script::Value* target, std::string bytes);

}  // namespace vexil::net::mail
