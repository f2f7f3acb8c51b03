#pragma once
// Connection points of the in-process COM servers (the player control, the automation test
// server): sinks of one outgoing interface connect to each. A point lives inside its container and
// shares the container's reference count, so a sink holding the point keeps the server alive.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

#include "platform/win32/com_ptr.h"

namespace vexil::platform {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // A sink must answer QueryInterface for `iid`, or for `fallback` when one is given (event sinks
  // that know nothing but IDispatch are welcome).
  ConnectionPoint(IConnectionPointContainer& container, REFIID iid, const IID* fallback = nullptr)
      : container_(container), iid_(iid), fallback_(fallback) {}

  bool serves(REFIID iid) const { return IsEqualIID(iid, iid_); }
  size_t size() const { return sinks_.size(); }
  void disconnectAll() { sinks_.clear(); }

  // The connected sinks as the interface they were asked for, in connection order. A copy, so a
  // sink may disconnect (or connect another) while it is being called.
  template <typename Sink>
  std::vector<ComPtr<Sink>> sinks() const {
    std::vector<ComPtr<Sink>> out;
    for (const Connection& connection : sinks_) out.emplace_back(static_cast<Sink*>(connection.sink.get()));
    return out;
  }

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
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;  // really the interface asked for, held as IUnknown
  };
  IConnectionPointContainer& container_;
  IID iid_;
  const IID* fallback_;
  std::vector<Connection> sinks_;
  DWORD nextCookie_ = 1;
};

// Enumerates a container's connection points, for EnumConnectionPoints.
class ConnectionPointEnumerator final : public IEnumConnectionPoints {
 public:
  explicit ConnectionPointEnumerator(std::vector<ComPtr<IConnectionPoint>> points) : points_(std::move(points)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumConnectionPoints** clone) override;

 private:
  std::vector<ComPtr<IConnectionPoint>> points_;
  size_t position_ = 0;
  LONG references_ = 1;
};

}  // namespace vexil::platform
