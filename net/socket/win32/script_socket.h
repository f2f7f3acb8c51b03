#pragma once
// A Socket object's data: the socket handle, the notification set it is registered for, its six
// handler slots and its own script value (the `this` of its handlers). Notifications reach it
// through the engine's SocketHub as window messages on the script thread.
#include <winsock2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::net {

class SocketHub;

// The handler slots, in the order of their notification bits' names.
enum class SocketEvent { Accept, Close, Connect, Send, Receive, OutOfBand };
inline constexpr size_t kSocketEventCount = 6;
// The notifications a socket registers for unless the script names others: all six.
inline constexpr long kAllSocketEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

class ScriptSocket {
 public:
  ScriptSocket(script::Engine& engine, std::shared_ptr<SocketHub> hub) : engine_(engine), hub_(std::move(hub)) {}
  ~ScriptSocket() { close(); }
  ScriptSocket(const ScriptSocket&) = delete;
  ScriptSocket& operator=(const ScriptSocket&) = delete;

  SOCKET handle() const { return handle_; }
  const std::shared_ptr<SocketHub>& hub() const { return hub_; }
  bool isCreated() const { return handle_ != INVALID_SOCKET; }
  // Takes a handle made elsewhere (an accepted connection) and registers it for events.
  bool adopt(SOCKET handle, long events);
  // A new socket of the type, registered for events; false (nothing kept) when either fails.
  bool open(int type, long events);
  bool select(long events);
  long events() const { return events_; }
  // Connects to a dotted address now, or looks a name up without blocking and connects when the
  // answer arrives; false with WSAEWOULDBLOCK while either is under way, as for any
  // non-blocking connect.
  bool connect(const std::string& host, uint16_t port);
  // The look-up for connect ended: connect to its first address, or report its error to onConnect.
  void lookupDone(const hostent* answer, int error, uint16_t port);
  // A name sendTo or bind asked for was answered (error 0) or not: onSend hears it, so the script
  // can send again.
  void nameLearnt(int error);
  void close();

  script::Value& handler(SocketEvent event) { return handlers_[size_t(event)]; }
  void setSelf(const script::Value& self) { self_ = self; }
  // Runs the slot's handler, if it holds one, with the error code as argument.
  void notify(SocketEvent event, int error);
  void mark(script::Engine& engine) const;

  // The receive buffer, kept between calls.
  std::vector<uint8_t>& buffer() { return buffer_; }

 private:
  script::Engine& engine_;
  std::shared_ptr<SocketHub> hub_;
  SOCKET handle_ = INVALID_SOCKET;
  long events_ = 0;
  std::array<script::Value, kSocketEventCount> handlers_{};
  script::Value self_;
  std::vector<uint8_t> buffer_;
};

}  // namespace vexil::net
