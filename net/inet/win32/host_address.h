#pragma once
// The IPv4 address of a host a script names, for ping and mxfind.
#include <winsock2.h>

#include <optional>
#include <string>

namespace vexil::net {

// A dotted address at once; a name through the system's resolver when it may be asked (names that
// cannot exist are refused without a query).
std::optional<in_addr> resolveHost(const std::string& host);

}  // namespace vexil::net
