#include "platform/win32/winsock_session.h"

#include <winsock2.h>

namespace vexil::platform {
namespace {

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool started() const { return started_; }

 private:
  bool started_ = false;
};

}  // namespace

bool startWinsock() {
  static WinsockSession session;  // started on first use, cleaned up at exit
  return session.started();
}

}  // namespace vexil::platform
