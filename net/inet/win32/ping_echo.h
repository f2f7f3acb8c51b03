#pragma once
// ICMP echo for ping and isInetConnected. A raw socket is used when the system gives one; without
// the rights for it the system's ICMP helper (IcmpSendEcho) sends the requests instead, so ping
// works for a user who is not an administrator. Every request waits at most one second in all,
// whatever else arrives meanwhile.
#include <functional>
#include <string>

namespace vexil::net {

// The kinds a ping reports, as the script's onPinging handler receives them.
enum class PingReport { TimedOut = 0, SendFailed = 1, SetUpFailed = 2, Starting = 3, Reply = 4 };
using PingReporter = std::function<void(PingReport kind, int value, const std::string& text)>;

inline constexpr int kPingTimeoutMs = 1000;
inline constexpr int kPingDataBytes = 32;

// Which way the requests go: a raw socket when the system gives one (else the helper), or the
// helper only (how the helper path is tested where raw sockets are allowed).
enum class EchoWay { RawFirst, HelperOnly };

// Sends count echo requests to the host and answers the number of replies. A quit or a window
// close waiting in this thread's queue ends the run before the next request.
int pingHost(const std::string& host, int count, const PingReporter& report, EchoWay way = EchoWay::RawFirst);

}  // namespace vexil::net
