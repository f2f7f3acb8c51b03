#pragma once
// The control's one event source: sinks connect here for FSCommand. It lives inside the control
// and shares its reference count, so a sink holding the point keeps the control alive.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string_view>
#include <vector>

#include "platform/win32/com_ptr.h"

namespace vexil::control {

using platform::ComPtr;

class EventConnectionPoint final : public IConnectionPoint {
 public:
  explicit EventConnectionPoint(IConnectionPointContainer& container) : container_(container) {}

  // Calls FSCommand(command, argument) on every connected sink, in connection order.
  void fireFsCommand(std::string_view command, std::string_view argument);
  bool accepts(REFIID iid) const;
  void disconnectAll() { sinks_.clear(); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }
  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> dispatch;
  };
  IConnectionPointContainer& container_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

// Enumerates the control's single connection point.
class ConnectionPointEnumerator final : public IEnumConnectionPoints {
 public:
  explicit ConnectionPointEnumerator(IConnectionPoint* point) : point_(point) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumConnectionPoints** clone) override;

 private:
  ComPtr<IConnectionPoint> point_;
  ULONG position_ = 0;
  LONG references_ = 1;
};

}  // namespace vexil::control
