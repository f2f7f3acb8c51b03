#pragma once
// mxfind's exchange with a name server: the MX query over TCP and the reply, read whole within
// one time-out however the server behaves (slow, silent, or announcing more than it sends).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/inet/dns_message.h"

namespace vexil::net {

inline constexpr int kDnsTimeoutMs = 10000;
inline constexpr uint16_t kDnsPort = 53;

// The domain's MX records from the server; absent when the query cannot be built, the server
// cannot be reached or its reply is not a well-formed answer within the time-out.
std::optional<std::vector<MxRecord>> lookUpMx(const std::string& domain, const std::string& server, uint16_t port,
                                              int timeoutMs = kDnsTimeoutMs);

}  // namespace vexil::net
