#pragma once
// One hidden message-only window per engine that receives its sockets' notifications
// (WSAAsyncSelect) and the answers of name look-ups (WSAAsyncGetHostByName) as window messages,
// so handlers run on the script thread whenever its message loop runs. Sockets and look-ups are
// found by handle: a message for one that is already closed or cancelled is dropped.
#include <winsock2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace vexil::net {

class ScriptSocket;

class SocketHub {
 public:
  // Null when the window cannot be made.
  static std::shared_ptr<SocketHub> create();
  ~SocketHub();
  SocketHub(const SocketHub&) = delete;
  SocketHub& operator=(const SocketHub&) = delete;

  // WSAAsyncSelect for the socket on this window; the socket is known here until forget.
  bool select(ScriptSocket& socket, long events);
  void forget(SOCKET handle);

  // Starts a look-up of host for socket's connect to port; false (with the system's error set)
  // when it cannot start. A socket has at most one look-up; a new one cancels the old.
  bool lookUp(ScriptSocket& socket, const std::string& host, uint16_t port);
  void cancelLookUp(const ScriptSocket& socket);

  // sendTo and bind never wait for a name server: a name they are given is used when an earlier
  // look-up answered it (for a few minutes), and otherwise looked up now for the next try. The
  // socket, if still open, hears of the answer through onSend (0, or the look-up's error).
  std::optional<std::array<uint8_t, 4>> knownAddress(const std::string& host) const;
  bool learn(ScriptSocket* socket, const std::string& host);

 private:
  SocketHub() = default;
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void socketMessage(WPARAM wParam, LPARAM lParam);
  void lookUpMessage(WPARAM wParam, LPARAM lParam);

  struct LookUp {
    ScriptSocket* socket;
    uint16_t port;
    std::unique_ptr<char[]> answer;  // MAXGETHOSTSTRUCT bytes the system writes the hostent into
    std::string learning;            // the name to remember (sendTo, bind); empty for a connect
  };
  struct Known {
    std::array<uint8_t, 4> address;
    uint64_t until;  // GetTickCount64 time after which the name is asked again
  };

  HWND window_ = nullptr;
  std::unordered_map<SOCKET, ScriptSocket*> sockets_;
  std::unordered_map<HANDLE, LookUp> lookUps_;
  std::unordered_map<std::string, Known> known_;  // by the name in lower case
};

}  // namespace vexil::net
