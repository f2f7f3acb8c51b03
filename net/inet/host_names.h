#pragma once
// Which host texts ping and mxfind may hand to the system's resolver. A text that cannot be a DNS
// host name, or a name under the reserved "invalid" domain, is refused here, so it never turns
// into a query that leaves the machine and waits on a far name server.
#include <string_view>

namespace vexil::net {

// The host isInetConnected pings when the script names none: a public web host that is up
// around the clock. Tests never ping it (they name a loopback address).
inline constexpr char kDefaultConnectivityHost[] = "www.example.com";

// True when the text is a dotted address or a name the resolver may be asked about: labels of
// 1-63 bytes, at most 255 bytes, no NUL, not under ".invalid" (which never exists).
bool resolvableHost(std::string_view host);

}  // namespace vexil::net
