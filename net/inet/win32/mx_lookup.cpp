#include "net/inet/win32/mx_lookup.h"

#include <winsock2.h>

#include "net/inet/win32/host_address.h"
#include "platform/win32/winsock_session.h"

namespace vexil::net {
namespace {

class Connection {
 public:
  Connection() : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
  ~Connection() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

// Waits until the socket is ready for the direction or the deadline passes.
bool waitFor(SOCKET s, bool write, DWORD deadline) {
  DWORD now = GetTickCount();
  if (int(deadline - now) <= 0) return false;
  DWORD left = deadline - now;
  fd_set set, failed;
  FD_ZERO(&set);
  FD_SET(s, &set);
  FD_ZERO(&failed);
  FD_SET(s, &failed);
  timeval wait = {long(left / 1000), long(left % 1000) * 1000};
  int ready = select(0, write ? nullptr : &set, write ? &set : nullptr, write ? &failed : nullptr, &wait);
  return ready > 0 && FD_ISSET(s, &set);
}

bool sendAll(SOCKET s, const std::vector<uint8_t>& bytes, DWORD deadline) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (!waitFor(s, true, deadline)) return false;
    int sent = send(s, reinterpret_cast<const char*>(bytes.data() + done), int(bytes.size() - done), 0);
    if (sent == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return false;
    }
    done += size_t(sent);
  }
  return true;
}

// Exactly size bytes, or false when the peer closes, fails or the deadline passes first.
bool receiveAll(SOCKET s, uint8_t* into, size_t size, DWORD deadline) {
  size_t done = 0;
  while (done < size) {
    if (!waitFor(s, false, deadline)) return false;
    int got = recv(s, reinterpret_cast<char*>(into + done), int(size - done), 0);
    if (got == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return false;
    }
    if (got == 0) return false;
    done += size_t(got);
  }
  return true;
}

}  // namespace

std::optional<std::vector<MxRecord>> lookUpMx(const std::string& domain, const std::string& server, uint16_t port,
                                              int timeoutMs) {
  auto query = buildMxQuery(domain);
  if (!query || !platform::startWinsock()) return std::nullopt;
  auto address = resolveHost(server);
  if (!address) return std::nullopt;
  DWORD deadline = GetTickCount() + DWORD(timeoutMs);
  Connection connection;
  SOCKET s = connection.get();
  if (s == INVALID_SOCKET) return std::nullopt;
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  sockaddr_in to = {};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr = *address;
  if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK)
    return std::nullopt;
  if (!sendAll(s, *query, deadline)) return std::nullopt;
  uint8_t prefix[2];
  if (!receiveAll(s, prefix, 2, deadline)) return std::nullopt;
  // The announced length is at most 65535: the buffer is never larger, and a server announcing
  // more than it sends runs into the deadline or its own close.
  std::vector<uint8_t> reply(size_t(prefix[0] << 8 | prefix[1]));
  if (!receiveAll(s, reply.data(), reply.size(), deadline)) return std::nullopt;
  return readMxReply(reply);
}

}  // namespace vexil::net
