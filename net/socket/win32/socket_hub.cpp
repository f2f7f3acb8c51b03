#include "net/socket/win32/socket_hub.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "net/socket/win32/script_socket.h"

namespace vexil::net {
namespace {

// These go only to the hub's own window class, so they cannot meet the program's other messages.
constexpr UINT kSocketMessage = WM_APP + 1;
constexpr UINT kLookUpMessage = WM_APP + 2;
constexpr wchar_t kWindowClass[] = L"VexilSocketNotifications";
// How long an answered name is used before it is asked again, and how many names sendTo and bind
// may be waiting for at once (a script sending to ever new names cannot pile up look-ups).
constexpr uint64_t kKnownMilliseconds = 5 * 60 * 1000;
constexpr size_t kMostLearning = 64;
constexpr size_t kMostKnown = 1024;

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

bool registerWindowClass(WNDPROC proc) {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  info.lpfnWndProc = proc;
  info.hInstance = GetModuleHandleW(nullptr);
  info.lpszClassName = kWindowClass;
  return RegisterClassExW(&info) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct EventSlot {
  long bit;
  SocketEvent event;
};
constexpr EventSlot kEventSlots[] = {
    {FD_READ, SocketEvent::Receive}, {FD_WRITE, SocketEvent::Send},       {FD_OOB, SocketEvent::OutOfBand},
    {FD_ACCEPT, SocketEvent::Accept}, {FD_CONNECT, SocketEvent::Connect}, {FD_CLOSE, SocketEvent::Close},
};

}  // namespace

std::shared_ptr<SocketHub> SocketHub::create() {
  if (!registerWindowClass(windowProc)) return nullptr;
  std::shared_ptr<SocketHub> hub(new SocketHub());
  hub->window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (!hub->window_) return nullptr;
  SetWindowLongPtrW(hub->window_, GWLP_USERDATA, LONG_PTR(hub.get()));
  return hub;
}

SocketHub::~SocketHub() {
  if (window_) DestroyWindow(window_);
  // A look-up the system may still be answering writes into its buffer: those are let go rather
  // than freed under it (only look-ups in flight when the engine ends).
  for (auto& [task, lookUp] : lookUps_) lookUp.answer.release();
}

bool SocketHub::select(ScriptSocket& socket, long events) {
  if (WSAAsyncSelect(socket.handle(), window_, kSocketMessage, events) != 0) return false;
  sockets_[socket.handle()] = &socket;
  return true;
}

void SocketHub::forget(SOCKET handle) { sockets_.erase(handle); }

bool SocketHub::lookUp(ScriptSocket& socket, const std::string& host, uint16_t port) {
  cancelLookUp(socket);
  auto answer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
  HANDLE task = WSAAsyncGetHostByName(window_, kLookUpMessage, host.c_str(), answer.get(), MAXGETHOSTSTRUCT);
  if (!task) return false;
  lookUps_[task] = LookUp{&socket, port, std::move(answer), {}};
  return true;
}

// A connect's look-up is cancelled; one that learns a name goes on, since its answer serves the
// next sendTo too. Either answer may already be on its way: the entry stays, without its socket,
// until its message arrives.
void SocketHub::cancelLookUp(const ScriptSocket& socket) {
  for (auto& [task, lookUp] : lookUps_) {
    if (lookUp.socket != &socket) continue;
    if (lookUp.learning.empty()) WSACancelAsyncRequest(task);
    lookUp.socket = nullptr;
  }
}

std::optional<std::array<uint8_t, 4>> SocketHub::knownAddress(const std::string& host) const {
  auto found = known_.find(lowerCase(host));
  if (found == known_.end() || GetTickCount64() > found->second.until) return std::nullopt;
  return found->second.address;
}

bool SocketHub::learn(ScriptSocket* socket, const std::string& host) {
  std::string name = lowerCase(host);
  size_t learning = 0;
  for (auto& [task, lookUp] : lookUps_) {
    if (lookUp.learning.empty()) continue;
    ++learning;
    if (lookUp.learning != name) continue;
    if (!lookUp.socket) lookUp.socket = socket;  // already asked: the answer goes to this socket too
    return true;
  }
  if (learning >= kMostLearning) {
    WSASetLastError(WSAENOBUFS);
    return false;
  }
  auto answer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
  HANDLE task = WSAAsyncGetHostByName(window_, kLookUpMessage, name.c_str(), answer.get(), MAXGETHOSTSTRUCT);
  if (!task) return false;
  lookUps_[task] = LookUp{socket, 0, std::move(answer), name};
  return true;
}

LRESULT CALLBACK SocketHub::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hub = reinterpret_cast<SocketHub*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (hub && message == kSocketMessage) {
    hub->socketMessage(wParam, lParam);
    return 0;
  }
  if (hub && message == kLookUpMessage) {
    hub->lookUpMessage(wParam, lParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void SocketHub::socketMessage(WPARAM wParam, LPARAM lParam) {
  auto found = sockets_.find(SOCKET(wParam));
  if (found == sockets_.end()) return;
  long bits = WSAGETSELECTEVENT(lParam);
  int error = WSAGETSELECTERROR(lParam);
  for (const EventSlot& slot : kEventSlots) {
    if (!(bits & slot.bit)) continue;
    // notify runs script, which may close the socket or let go of it: it is not touched after.
    found->second->notify(slot.event, error);
    return;
  }
}

void SocketHub::lookUpMessage(WPARAM wParam, LPARAM lParam) {
  auto found = lookUps_.find(HANDLE(wParam));
  if (found == lookUps_.end()) return;
  LookUp lookUp = std::move(found->second);
  lookUps_.erase(found);
  int error = WSAGETASYNCERROR(lParam);
  const auto* answer = error ? nullptr : reinterpret_cast<const hostent*>(lookUp.answer.get());
  if (lookUp.learning.empty()) {
    if (lookUp.socket) lookUp.socket->lookupDone(answer, error, lookUp.port);
    return;
  }
  if (!error && (!answer || answer->h_addrtype != AF_INET || !answer->h_addr_list || !answer->h_addr_list[0]))
    error = WSANO_DATA;
  if (!error) {
    if (known_.size() >= kMostKnown) known_.clear();
    Known& known = known_[lookUp.learning];
    std::memcpy(known.address.data(), answer->h_addr_list[0], 4);
    known.until = GetTickCount64() + kKnownMilliseconds;
  }
  if (lookUp.socket) lookUp.socket->nameLearnt(error);
}

}  // namespace vexil::net
