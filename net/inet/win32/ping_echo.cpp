#include "net/inet/win32/ping_echo.h"

// winsock2.h before windows.h (through iphlpapi.h).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "net/inet/icmp_echo.h"
#include "net/inet/win32/host_address.h"
#include "net/inet/win32/program_ending.h"
#include "net/socket/socket_numbers.h"
#include "platform/win32/winsock_session.h"

namespace vexil::net {
namespace {

constexpr size_t kReceiveBuffer = 1024;

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char text[512];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

std::string dotted(const void* address) {
  std::array<uint8_t, 4> bytes;
  std::memcpy(bytes.data(), address, 4);
  return dottedAddress(bytes);
}

class RawSocket {
 public:
  explicit RawSocket(SOCKET s) : socket_(s) {}
  ~RawSocket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  RawSocket(const RawSocket&) = delete;
  RawSocket& operator=(const RawSocket&) = delete;
  SOCKET get() const { return socket_; }
  bool valid() const { return socket_ != INVALID_SOCKET; }

 private:
  SOCKET socket_;
};

// One request over the raw socket: true when its reply came within the time-out.
bool echoRaw(SOCKET s, const in_addr& target, uint16_t identifier, uint16_t sequence, const PingReporter& report) {
  DWORD sent = GetTickCount();
  auto request = buildEchoRequest(identifier, sequence, sent);
  sockaddr_in to = {};
  to.sin_family = AF_INET;
  to.sin_addr = target;
  if (sendto(s, reinterpret_cast<const char*>(request.data()), int(request.size()), 0,
             reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR) {
    report(PingReport::SendFailed, 0, "Destination host unreachable");
    return false;
  }
  std::array<uint8_t, kReceiveBuffer> buffer;
  while (true) {
    DWORD waited = GetTickCount() - sent;
    if (waited >= DWORD(kPingTimeoutMs)) break;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    DWORD left = DWORD(kPingTimeoutMs) - waited;
    timeval wait = {long(left / 1000), long(left % 1000) * 1000};
    int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == 0) break;
    if (ready < 0) return false;  // a receive error ends the wait for this request
    int count = recv(s, reinterpret_cast<char*>(buffer.data()), int(buffer.size()), 0);
    if (count == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAETIMEDOUT) break;
      if (WSAGetLastError() == WSAEMSGSIZE) continue;  // larger than any reply of ours
      return false;
    }
    auto reply = readEchoReply(std::span<const uint8_t>(buffer.data(), size_t(count)), identifier);
    if (!reply || reply->sequence != sequence) continue;  // someone else's datagram, or a late one
    DWORD time = GetTickCount() - reply->sendTime;
    report(PingReport::Reply, int(time),
           format("Reply from %s: bytes=%d time=%dms TTL=%d icmp_seq=%u", dottedAddress(reply->source).c_str(),
                  kPingDataBytes, int(time), int(reply->ttl), unsigned(sequence)));
    return true;
  }
  report(PingReport::TimedOut, kPingTimeoutMs, "Request timed out");
  return false;
}

// One request through the system's ICMP helper.
bool echoHelper(HANDLE icmp, const in_addr& target, uint16_t sequence, const PingReporter& report) {
  std::array<uint8_t, kPingDataBytes> data;
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(32 + i);
  std::vector<uint8_t> replies(sizeof(ICMP_ECHO_REPLY) + data.size() + 8 + 64);
  DWORD count = IcmpSendEcho(icmp, target.s_addr, data.data(), WORD(data.size()), nullptr, replies.data(),
                             DWORD(replies.size()), kPingTimeoutMs);
  if (count == 0) {
    DWORD error = GetLastError();
    if (error == IP_REQ_TIMED_OUT || error == WAIT_TIMEOUT || error == ERROR_TIMEOUT) {
      report(PingReport::TimedOut, kPingTimeoutMs, "Request timed out");
    } else {
      report(PingReport::SendFailed, 0, "Destination host unreachable");
    }
    return false;
  }
  const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(replies.data());
  if (reply->Status != IP_SUCCESS) {
    if (reply->Status == IP_REQ_TIMED_OUT) {
      report(PingReport::TimedOut, kPingTimeoutMs, "Request timed out");
    } else {
      report(PingReport::SendFailed, 0, "Destination host unreachable");
    }
    return false;
  }
  int time = int(reply->RoundTripTime);
  report(PingReport::Reply, time,
         format("Reply from %s: bytes=%d time=%dms TTL=%d icmp_seq=%u", dotted(&reply->Address).c_str(),
                kPingDataBytes, time, int(reply->Options.Ttl), unsigned(sequence)));
  return true;
}

}  // namespace

int pingHost(const std::string& host, int count, const PingReporter& report, EchoWay way) {
  if (!platform::startWinsock()) {
    report(PingReport::SetUpFailed, 0, "socket error");
    return 0;
  }
  const protoent* protocol = getprotobyname("icmp");
  RawSocket raw(way == EchoWay::HelperOnly ? INVALID_SOCKET
                                           : socket(AF_INET, SOCK_RAW, protocol ? protocol->p_proto : IPPROTO_ICMP));
  HANDLE icmp = INVALID_HANDLE_VALUE;
  if (!raw.valid()) {
    icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) {
      report(PingReport::SetUpFailed, 0, "socket error");
      return 0;
    }
  }
  struct HelperCloser {
    HANDLE& handle;
    ~HelperCloser() {
      if (handle != INVALID_HANDLE_VALUE) IcmpCloseHandle(handle);
    }
  } closer{icmp};

  auto target = resolveHost(host);
  if (!target) {
    report(PingReport::SetUpFailed, 0, "Unkown host " + host);
    return 0;
  }
  report(PingReport::Starting, 0,
         format("Pinging %s [%s]: with %d bytes of data:\n\n", host.c_str(), dotted(&*target).c_str(), kPingDataBytes));
  uint16_t identifier = uint16_t(GetCurrentProcessId());
  int replies = 0;
  for (int i = 0; i < count && !programEnding(); ++i) {
    bool answered = raw.valid() ? echoRaw(raw.get(), *target, identifier, uint16_t(i), report)
                                : echoHelper(icmp, *target, uint16_t(i), report);
    if (answered) ++replies;
  }
  return replies;
}

}  // namespace vexil::net
