#pragma once
// The plain addresses of an address field ("Ann <ann@x.org>, bob@y.org (Bob)" -> ann@x.org,
// bob@y.org), as a mail transport names sender and recipients to the server.
#include <string>
#include <string_view>
#include <vector>

namespace vexil::net::mime {

// Each address of the list: the text inside "<>" when the entry has it, else the entry without its
// comments and quotes. Commas inside quotes, comments or "<>" do not split; group names
// ("team: a@x, b@y;") are dropped; blanks, CR and LF never appear in an address; empty entries are
// left out.
std::vector<std::string> plainAddresses(std::string_view field);

}  // namespace vexil::net::mime
