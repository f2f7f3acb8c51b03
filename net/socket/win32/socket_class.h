#pragma once
// Socket: non-blocking TCP and UDP sockets for scripts. Bytes move through StringStreams;
// notifications call the object's handlers on the script thread.
namespace vexil::script {
struct Engine;
}

namespace vexil::net {

// Registration step: "Socket" with the "$FD_..." and "$SOCK_..." constants.
void registerSocket(script::Engine& engine);

}  // namespace vexil::net
