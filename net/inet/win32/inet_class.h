#pragma once
// Inet: ping, a connectivity test, MX look-ups, the configured DNS servers and URL downloads for
// scripts, every call blocking the script thread within its time-outs; IPConfig: a snapshot of
// the network interfaces.
namespace vexil::script {
struct Engine;
}

namespace vexil::net {

void registerInet(script::Engine& engine);
void registerIpConfig(script::Engine& engine);

}  // namespace vexil::net
