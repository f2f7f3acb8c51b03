#include "net/socket/win32/script_socket.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "net/inet/host_names.h"
#include "net/socket/socket_numbers.h"
#include "net/socket/win32/socket_hub.h"
#include "script/runtime/uncaught_errors.h"
#include "script/runtime/arguments.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/outside_run.h"
#include "script/runtime/stack_roots.h"

namespace vexil::net {
namespace {

using script::Engine;
using script::Value;

constexpr char kHandlerFailedPrefix[] = "Socket event handler failed: ";

sockaddr_in inetAddress(const uint8_t* bytes, uint16_t port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  std::memcpy(&address.sin_addr, bytes, 4);
  return address;
}

}  // namespace

bool ScriptSocket::adopt(SOCKET handle, long events) {
  close();
  handle_ = handle;
  if (select(events)) return true;
  int error = WSAGetLastError();
  close();
  WSASetLastError(error);
  return false;
}

bool ScriptSocket::open(int type, long events) {
  SOCKET handle = socket(AF_INET, type, 0);
  if (handle == INVALID_SOCKET) return false;
  return adopt(handle, events);
}

bool ScriptSocket::select(long events) {
  if (!hub_->select(*this, events)) return false;
  events_ = events;
  return true;
}

bool ScriptSocket::connect(const std::string& host, uint16_t port) {
  AddressText address = classifyAddress(host);
  if (address.kind == AddressKind::Invalid || (address.kind == AddressKind::Name && !resolvableHost(host))) {
    WSASetLastError(host.empty() ? WSAEINVAL : WSAHOST_NOT_FOUND);
    return false;
  }
  if (address.kind == AddressKind::Numeric) {
    sockaddr_in target = inetAddress(address.bytes.data(), port);
    return ::connect(handle_, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0;
  }
  // A name: asking the resolver here would hold the script thread (and the saver's wake-up) for as
  // long as the name server takes. The connect starts when the answer arrives.
  if (!isCreated()) {
    WSASetLastError(WSAENOTSOCK);
    return false;
  }
  if (!hub_->lookUp(*this, host, port)) return false;
  WSASetLastError(WSAEWOULDBLOCK);
  return false;
}

void ScriptSocket::lookupDone(const hostent* answer, int error, uint16_t port) {
  if (!error && (!answer || answer->h_addrtype != AF_INET || !answer->h_addr_list || !answer->h_addr_list[0]))
    error = WSANO_DATA;
  if (!error) {
    sockaddr_in target = inetAddress(reinterpret_cast<const uint8_t*>(answer->h_addr_list[0]), port);
    if (::connect(handle_, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) return;
    error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return;  // onConnect follows from the socket itself
  }
  if (events_ & FD_CONNECT) notify(SocketEvent::Connect, error);
}

void ScriptSocket::nameLearnt(int error) {
  if (isCreated() && (events_ & FD_WRITE)) notify(SocketEvent::Send, error);
}

void ScriptSocket::close() {
  hub_->cancelLookUp(*this);
  if (handle_ == INVALID_SOCKET) return;
  hub_->forget(handle_);
  closesocket(handle_);
  handle_ = INVALID_SOCKET;
  events_ = 0;
}

// The handler runs in the middle of whatever the script thread was doing (a script pumping
// messages): what that run has in the engine's last result and message buffer is put back
// afterwards, and a handler's failure is one trace line. This object may be closed by the handler;
// it stays alive through the call because its own value is rooted.
void ScriptSocket::notify(SocketEvent event, int error) {
  const Value function = handlers_[size_t(event)];
  if (!script::isCallable(function)) return;
  Engine& engine = engine_;
  const Value self = self_;
  script::OutsideRun outside(engine);
  script::StackRoots outer(engine);
  Value* saved = outer.hold(engine.lastResult);
  std::string message = engine.message;
  script::protectedCall(engine, [&] {
    script::StackRoots roots(engine);
    Value* callee = roots.hold(function);
    Value* receiver = roots.hold(self);
    std::vector<Value> block = script::argumentBlock({Value::fromInteger(error)});
    if (!script::callValueOn(engine, *callee, *receiver, block.data())) script::reportUncaught(engine, kHandlerFailedPrefix);
  });
  engine.lastResult = *saved;
  snprintf(engine.message, sizeof engine.message, "%s", message.c_str());
}

void ScriptSocket::mark(Engine& engine) const {
  for (const Value& handler : handlers_) script::markValue(engine, handler);
}

}  // namespace vexil::net
