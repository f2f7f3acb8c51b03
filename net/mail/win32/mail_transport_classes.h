#pragma once
namespace vexil::script {
struct Engine;
}

namespace vexil::net::mail {

void registerSendMail(script::Engine& engine);
void registerRecvMail(script::Engine& engine);

}  // namespace vexil::net::mail
