#pragma once
// The DNS servers the system is configured with, for getDNS and for mxfind without a server.
#include <string>
#include <vector>

namespace vexil::net {

// The addresses named in the TCP/IP service's registry values (the transient key, the service
// key and each interface's key; "NameServer" and "DhcpNameServer"), in the order read. When the
// registry names none (Wine keeps them elsewhere) the system's network parameters are asked.
std::vector<std::string> configuredNameServers();

}  // namespace vexil::net
