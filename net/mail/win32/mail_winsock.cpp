#include "net/mail/win32/mail_winsock.h"

#include <winsock2.h>

namespace vexil::net::mail {

// Started once and never cleaned up: the process's end releases it, and a mail call in a timer
// handler during shutdown then still finds it.
bool startMailWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

}  // namespace vexil::net::mail
