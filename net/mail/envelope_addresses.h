#pragma once
// The addresses an SMTP envelope names, taken from a message's From, To, Cc and Bcc fields. A field
// is a comma-separated list; an entry's address is what stands inside its angle brackets, or the
// entry itself when it has none ("Ann <ann@x.org>", "bob@x.org"). Commas inside quoted display
// names or inside brackets do not split entries.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::net::mail {

// Every address of the field, in order, without blanks around it; empty entries are skipped.
std::vector<std::string> envelopeAddresses(std::string_view field);

// The recipients of To, Cc and Bcc together, each once, in that order.
std::vector<std::string> recipientsOf(std::string_view to, std::string_view cc, std::string_view bcc);

// True when the address could be sent inside "<...>" on one command line: no CR, LF, NUL, angle
// brackets or blanks.
bool isSendableAddress(std::string_view address);

}  // namespace vexil::net::mail
