#pragma once
// The Mail script class, and what the mail transports need of it: a Mail object's message as it
// goes over the wire with its envelope, and a new Mail object over a received message.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::net::mime {

// Registration step: "Mail".
void registerMail(script::Engine& engine);

struct MailEnvelope {
  std::string from;                     // the From field's first plain address; empty when it has none
  std::vector<std::string> recipients;  // To, then CC, then BCC: plain addresses, each once (caseless)
};

struct OutgoingMail {
  // The header block without its BCC field, then the body, lines ending in CR LF as composed (a
  // loaded message keeps its own bytes). Not yet dot-stuffed.
  std::string message;
  MailEnvelope envelope;
};

// The message of a Mail object as a transport sends it; nothing when the value is not a Mail object
// (recognised by its class record, not the global name) or its message file cannot be read. The
// object itself is left as it is (still modified when it was).
std::optional<OutgoingMail> outgoingMail(const script::Value& value);

// After a delivery, successful or not: a modified Mail keeps the message as it was sent and is no
// longer marked modified. Nothing happens for a value that is not a Mail object.
void settleSentMail(const script::Value& value);

// Makes *target a new Mail object over the bytes of a received message, parsed, with the modified
// flag clear; Null when the engine has no Mail class or no temporary file can be made.
void newMailFromMessage(script::Engine& engine, script::Value* target, std::string_view message);

}  // namespace vexil::net::mime
