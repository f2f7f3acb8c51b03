// Socket over Windows Sockets. Every member reads its numbers through the checks of
// socket_numbers.h, so a port outside 0-65535 or a length of 2^40 is refused or clamped before the
// system sees it, and a name is never resolved on the script thread.
#include "net/socket/win32/socket_class.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "net/inet/host_names.h"
#include "net/socket/socket_numbers.h"
#include "net/socket/stream_transfer.h"
#include "net/socket/win32/script_socket.h"
#include "net/socket/win32/socket_hub.h"
#include "objects/streams/stream_classes.h"
#include "platform/win32/winsock_session.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::net {
namespace {

using script::HostCall;
using script::Value;

struct SocketState {
  std::shared_ptr<SocketHub> hub;  // made with the first socket
  // The system's error right after the last member that called it: what "error" reads, so the
  // work the engine does between a call and the read cannot change the answer.
  int lastError = 0;
};

void remember(HostCall& call) { call.state<SocketState>()->lastError = WSAGetLastError(); }

void refuse(HostCall& call, int error) {
  WSASetLastError(error);
  remember(call);
}

ScriptSocket& self(HostCall& call) { return *call.instance<ScriptSocket>(); }

// A numeric argument as the system's 32-bit int: flags, options, levels and commands are bit
// patterns, so only the low 32 bits count.
int intArgument(const HostCall& call, uint32_t i, int fallback) {
  auto value = call.args.integer(i);
  return value ? int(uint32_t(uint64_t(*value))) : fallback;
}

long eventsArgument(int64_t value) { return long(value & kAllSocketEvents); }

// The address argument of create and bind, converted to text as any value would be.
std::string addressText(HostCall& call, uint32_t i) {
  const Value* value = call.args.at(i);
  if (!value || value->tag == script::Tag::Undefined) return {};
  script::StackRoots roots(call.engine);
  Value* text = roots.hold();
  script::valueToString(call.engine, *value, text);
  return script::stringToAnsiText(*text->string());
}

sockaddr_in inetAddress(const std::array<uint8_t, 4>& bytes, uint16_t port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  std::memcpy(&address.sin_addr, bytes.data(), 4);
  return address;
}

// The address for sendTo and bind: dotted, "localhost", or a name an earlier look-up answered.
// Any other name is looked up for the next try and refused now with WSAEWOULDBLOCK; text that
// cannot be a name, or a name that never exists, with WSAHOST_NOT_FOUND (WSAEINVAL when empty).
std::optional<std::array<uint8_t, 4>> addressNow(ScriptSocket& socket, const std::string& text) {
  if (auto immediate = immediateAddress(text)) return immediate;
  if (classifyAddress(text).kind != AddressKind::Name || !resolvableHost(text)) {
    WSASetLastError(text.empty() ? WSAEINVAL : WSAHOST_NOT_FOUND);
    return std::nullopt;
  }
  if (auto known = socket.hub()->knownAddress(text)) return known;
  if (socket.hub()->learn(socket.isCreated() ? &socket : nullptr, text)) WSASetLastError(WSAEWOULDBLOCK);
  return std::nullopt;
}

// Binds to port on the address (any when empty); sets the system's error when refused.
bool bindTo(ScriptSocket& socket, uint16_t port, const std::string& address) {
  std::array<uint8_t, 4> bytes = {0, 0, 0, 0};
  if (!address.empty()) {
    auto now = addressNow(socket, address);
    if (!now) return false;
    bytes = *now;
  }
  sockaddr_in local = inetAddress(bytes, port);
  return bind(socket.handle(), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

// An object with "address" and "port" (and "length" when given) for an end of a connection.
void answerEndpoint(HostCall& call, const sockaddr_in& end, std::optional<int> length = std::nullopt) {
  script::Engine& engine = call.engine;
  script::StackRoots roots(engine);
  script::PropertyTable* table = script::newTable(engine);
  Value* object = roots.hold(Value::fromObject(table));
  std::array<uint8_t, 4> bytes;
  std::memcpy(bytes.data(), &end.sin_addr, 4);
  Value* address = roots.hold(script::makeStringFromAnsi(engine, dottedAddress(bytes)));
  script::setProperty(engine, table, script::intern(engine, "address"), *address);
  script::setProperty(engine, table, script::intern(engine, "port"), Value::fromInteger(ntohs(end.sin_port)));
  if (length) script::setProperty(engine, table, script::intern(engine, "length"), Value::fromInteger(*length));
  *call.result = *object;
}

// Construction: the engine's notification window is made with its first socket.
void construct(HostCall& call) {
  auto* state = call.state<SocketState>();
  if (!state->hub) {
    if (!platform::startWinsock()) return;
    state->hub = SocketHub::create();
    if (!state->hub) return;
  }
  ScriptSocket* socket = call.publish(std::make_unique<ScriptSocket>(call.engine, state->hub));
  socket->setSelf(*call.result);
}

// A second create replaces the socket the object had.
void create(HostCall& call) {
  ScriptSocket& socket = self(call);
  auto port = portArgument(call.args.integer(1));
  auto type = call.args.integer(2).value_or(SOCK_STREAM);
  long events = eventsArgument(call.args.integer(3).value_or(kAllSocketEvents));
  std::string address = addressText(call, 4);
  call.result->setBoolean(false);
  if (!port || type < 0 || type > 0xFFFF) return refuse(call, WSAEINVAL);
  bool ok = socket.open(int(type), events) && bindTo(socket, *port, address);
  if (!ok && socket.isCreated()) {
    int error = WSAGetLastError();
    socket.close();
    WSASetLastError(error);
  }
  call.result->setBoolean(ok);
  remember(call);
}

void bindMember(HostCall& call) {
  auto port = portArgument(call.args.integer(1));
  if (!port) {
    call.result->setBoolean(false);
    return refuse(call, WSAEINVAL);
  }
  call.result->setBoolean(bindTo(self(call), *port, addressText(call, 2)));
  remember(call);
}

void listenMember(HostCall& call) {
  int64_t backlog = std::clamp<int64_t>(call.args.integer(1).value_or(5), 0, SOMAXCONN);
  call.result->setBoolean(listen(self(call).handle(), int(backlog)) == 0);
  remember(call);
}

void acceptMember(HostCall& call) {
  ScriptSocket& listener = self(call);
  SOCKET accepted = accept(listener.handle(), nullptr, nullptr);
  if (accepted == INVALID_SOCKET) return remember(call);
  auto data = std::make_unique<ScriptSocket>(call.engine, listener.hub());
  if (!data->adopt(accepted, listener.events())) return remember(call);
  ScriptSocket* socket = call.publish(std::move(data));
  socket->setSelf(*call.result);
  remember(call);
}

void connectMember(HostCall& call) {
  std::string host = call.args.ansi(1).value_or("");
  auto port = portArgument(call.args.integer(2));
  call.result->setBoolean(false);
  if (!port) return refuse(call, WSAEINVAL);
  call.result->setBoolean(self(call).connect(host, *port));
  remember(call);
}

void asyncSelect(HostCall& call) {
  auto events = call.args.integer(1);
  if (!events) {
    call.result->setBoolean(true);
    return;
  }
  call.result->setBoolean(self(call).select(eventsArgument(*events)));
  remember(call);
}

void sendMember(HostCall& call) {
  objects::StringStream* stream = call.args.at(1) ? objects::stringStreamOf(*call.args.at(1)) : nullptr;
  auto length = transferLength(call.args.integer(2));
  call.result->setInteger(0);
  if (!stream || !length) return;
  std::span<const uint8_t> bytes = unsentBytes(*stream, *length);
  int sent = send(self(call).handle(), reinterpret_cast<const char*>(bytes.data()), int(bytes.size()),
                  intArgument(call, 3, 0));
  remember(call);
  markSent(*stream, sent);
  call.result->setInteger(sent == SOCKET_ERROR ? -1 : sent);
}

void receiveMember(HostCall& call) {
  objects::StringStream* stream = call.args.at(1) ? objects::stringStreamOf(*call.args.at(1)) : nullptr;
  auto length = transferLength(call.args.integer(2));
  call.result->setInteger(0);
  if (!stream || !length) return;
  ScriptSocket& socket = self(call);
  std::vector<uint8_t>& buffer = socket.buffer();
  buffer.resize(size_t(*length));
  int count = recv(socket.handle(), reinterpret_cast<char*>(buffer.data()), *length, intArgument(call, 3, 0));
  remember(call);
  storeReceived(*stream, buffer, count);
  call.result->setInteger(count == SOCKET_ERROR ? -1 : count);
}

void sendTo(HostCall& call) {
  objects::StringStream* stream = call.args.at(1) ? objects::stringStreamOf(*call.args.at(1)) : nullptr;
  auto length = transferLength(call.args.integer(2));
  call.result->setInteger(0);
  if (!stream || !length || stream->getPos() >= stream->size()) return;
  auto port = portArgument(call.args.integer(3));
  if (!port) {
    call.result->setInteger(-1);
    return refuse(call, WSAEINVAL);
  }
  auto address = addressNow(self(call), call.args.ansi(4).value_or(""));
  if (!address) {
    call.result->setInteger(-1);
    return remember(call);
  }
  sockaddr_in target = inetAddress(*address, *port);
  std::span<const uint8_t> bytes = unsentBytes(*stream, *length);
  int sent = ::sendto(self(call).handle(), reinterpret_cast<const char*>(bytes.data()), int(bytes.size()),
                      intArgument(call, 5, 0), reinterpret_cast<sockaddr*>(&target), sizeof target);
  remember(call);
  markSent(*stream, sent);
  call.result->setInteger(sent == SOCKET_ERROR ? -1 : sent);
}

void receiveFrom(HostCall& call) {
  objects::StringStream* stream = call.args.at(1) ? objects::stringStreamOf(*call.args.at(1)) : nullptr;
  auto length = transferLength(call.args.integer(2));
  call.result->setNull();
  if (!stream || !length) return;
  ScriptSocket& socket = self(call);
  std::vector<uint8_t>& buffer = socket.buffer();
  buffer.resize(size_t(*length));
  sockaddr_in from = {};
  int fromLength = sizeof from;
  int count = recvfrom(socket.handle(), reinterpret_cast<char*>(buffer.data()), *length, intArgument(call, 3, 0),
                       reinterpret_cast<sockaddr*>(&from), &fromLength);
  remember(call);
  storeReceived(*stream, buffer, count);
  answerEndpoint(call, from, count == SOCKET_ERROR ? -1 : count);
}

template <int (*Query)(SOCKET, sockaddr*, int*)>
void endpoint(HostCall& call) {
  sockaddr_in end = {};
  int size = sizeof end;
  bool ok = Query(self(call).handle(), reinterpret_cast<sockaddr*>(&end), &size) == 0;
  remember(call);
  if (!ok) return call.result->setNull();
  answerEndpoint(call, end);
}

// The system's calls are stdcall on 32-bit Windows: plain wrappers give the template one type.
int peerName(SOCKET s, sockaddr* a, int* n) { return getpeername(s, a, n); }
int sockName(SOCKET s, sockaddr* a, int* n) { return getsockname(s, a, n); }

void getSockOpt(HostCall& call) {
  int value = 0;
  int size = sizeof value;
  int option = intArgument(call, 1, 0), level = intArgument(call, 2, SOL_SOCKET);
  bool ok = getsockopt(self(call).handle(), level, option, reinterpret_cast<char*>(&value), &size) == 0;
  remember(call);
  call.result->setInteger(ok ? value : 0);
}

void setSockOpt(HostCall& call) {
  int option = intArgument(call, 1, 0), value = intArgument(call, 2, 0), level = intArgument(call, 3, SOL_SOCKET);
  bool ok = setsockopt(self(call).handle(), level, option, reinterpret_cast<const char*>(&value), sizeof value) == 0;
  remember(call);
  call.result->setBoolean(ok);
}

void ioctlMember(HostCall& call) {
  u_long argument = u_long(uint32_t(intArgument(call, 2, 0)));
  ioctlsocket(self(call).handle(), long(intArgument(call, 1, 0)), &argument);
  remember(call);
  call.result->setInteger(int64_t(argument));
}

void shutDown(HostCall& call) {
  call.result->setBoolean(shutdown(self(call).handle(), intArgument(call, 1, SD_SEND)) == 0);
  remember(call);
}

void closeMember(HostCall& call) { self(call).close(); }

void swapLong(HostCall& call) {
  if (auto value = call.args.integer(1)) call.result->setInteger(swap32(uint32_t(uint64_t(*value))));
}

void swapShort(HostCall& call) {
  if (auto value = call.args.integer(1)) call.result->setInteger(swap16(uint16_t(uint64_t(*value))));
}

void getError(HostCall& call) { call.result->setInteger(call.state<SocketState>()->lastError); }

template <SocketEvent Event>
void getHandler(HostCall& call) {
  const Value& handler = self(call).handler(Event);
  if (script::isCallable(handler)) *call.result = handler;
}

// Anything but a function leaves the slot as it was.
template <SocketEvent Event>
void setHandler(HostCall& call, const Value& value) {
  if (script::isCallable(value)) self(call).handler(Event) = value;
}

void markInstance(script::Engine& engine, script::NativeClass*, void* data) {
  if (data) static_cast<ScriptSocket*>(data)->mark(engine);
}

const script::HostMethodEntry kMethods[] = {
    {"create", create},
    {"bind", bindMember},
    {"listen", listenMember},
    {"accept", acceptMember},
    {"connect", connectMember},
    {"asyncSelect", asyncSelect},
    {"send", sendMember},
    {"receive", receiveMember},
    {"sendTo", sendTo},
    {"receiveFrom", receiveFrom},
    {"getPeerName", endpoint<peerName>},
    {"getSockName", endpoint<sockName>},
    {"getSockOpt", getSockOpt},
    {"setSockOpt", setSockOpt},
    {"ioctl", ioctlMember},
    {"shutDown", shutDown},
    {"close", closeMember},
    {"htonl", swapLong, true},
    {"ntohl", swapLong, true},
    {"htons", swapShort, true},
    {"ntohs", swapShort, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"error", getError, nullptr, true},
    {"onAccept", getHandler<SocketEvent::Accept>, setHandler<SocketEvent::Accept>},
    {"onClose", getHandler<SocketEvent::Close>, setHandler<SocketEvent::Close>},
    {"onConnect", getHandler<SocketEvent::Connect>, setHandler<SocketEvent::Connect>},
    {"onSend", getHandler<SocketEvent::Send>, setHandler<SocketEvent::Send>},
    {"onReceive", getHandler<SocketEvent::Receive>, setHandler<SocketEvent::Receive>},
    {"onOOBData", getHandler<SocketEvent::OutOfBand>, setHandler<SocketEvent::OutOfBand>},
};

const script::HostConstant kConstants[] = {
    {"$FD_READ", FD_READ},       {"$FD_WRITE", FD_WRITE},     {"$FD_OOB", FD_OOB},
    {"$FD_ACCEPT", FD_ACCEPT},   {"$FD_CONNECT", FD_CONNECT}, {"$FD_CLOSE", FD_CLOSE},
    {"$SOCK_STREAM", SOCK_STREAM}, {"$SOCK_DGRAM", SOCK_DGRAM},
};

const script::HostClassInfo kSocketClass = {
    .name = "Socket",
    .methods = kMethods,
    .properties = kProperties,
    .constants = kConstants,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<ScriptSocket>,
    .mark = markInstance,
    .state = &script::kPlainState<SocketState>,
};

}  // namespace

void registerSocket(script::Engine& engine) { script::defineHostClass(engine, kSocketClass); }

}  // namespace vexil::net
