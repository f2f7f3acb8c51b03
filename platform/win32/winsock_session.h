#pragma once
// Windows Sockets is started once for the whole process, by the first class that needs it
// (Socket, Inet, DNS look-ups), and cleaned up when the process ends. Every network class calls
// startWinsock before its first socket call instead of pairing WSAStartup and WSACleanup itself,
// so one class closing down can never pull the library from under another.
namespace vexil::platform {

// True when the library is started; later calls answer the first call's result without starting
// it again.
bool startWinsock();

}  // namespace vexil::platform
