#include "net/socket/win32/socket_hub.h"

#include "net/socket/win32/script_socket.h"

namespace vexil::net {
namespace {

// These go only to the hub's own window class, so they cannot meet the program's other messages.
constexpr UINT kSocketMessage = WM_APP + 1;
constexpr UINT kLookUpMessage = WM_APP + 2;
constexpr wchar_t kWindowClass[] = L"VexilSocketNotifications";

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
  lookUps_[task] = LookUp{&socket, port, std::move(answer)};
  return true;
}

// The look-up's answer may already be on its way: the entry stays, without its socket, until
// its message arrives.
void SocketHub::cancelLookUp(const ScriptSocket& socket) {
  for (auto& [task, lookUp] : lookUps_) {
    if (lookUp.socket != &socket) continue;
    WSACancelAsyncRequest(task);
    lookUp.socket = nullptr;
  }
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
  if (!lookUp.socket) return;
  int error = WSAGETASYNCERROR(lParam);
  lookUp.socket->lookupDone(error ? nullptr : reinterpret_cast<const hostent*>(lookUp.answer.get()), error,
                            lookUp.port);
}

}  // namespace vexil::net
