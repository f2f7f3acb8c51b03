#pragma once
// Windows Sockets made ready once per process for the mail transports.
namespace vexil::net::mail {

bool startMailWinsock();

}  // namespace vexil::net::mail
