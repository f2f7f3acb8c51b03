#include "platform/win32/connection_point.h"

#include <algorithm>
#include <new>

namespace vexil::platform {

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> asked;
  if (FAILED(sink->QueryInterface(iid_, asked.putVoid())) &&
      (!fallback_ || FAILED(sink->QueryInterface(*fallback_, asked.putVoid())))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back({*cookie, std::move(asked)});
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const Connection& c) { return c.cookie == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sinks_.erase(found);
  return S_OK;
}

// Clients of an automation server do not list the connections; answering "not implemented" is
// allowed for this method.
STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ConnectionPointEnumerator::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints)) {
    *object = static_cast<IEnumConnectionPoints*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPointEnumerator::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP ConnectionPointEnumerator::Next(ULONG count, IConnectionPoint** points, ULONG* fetched) {
  if (!points) return E_POINTER;
  ULONG given = 0;
  for (; given < count && position_ < points_.size(); ++given, ++position_) {
    points[given] = points_[position_].get();
    points[given]->AddRef();
  }
  if (fetched) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP ConnectionPointEnumerator::Skip(ULONG count) {
  size_t left = points_.size() - position_;
  position_ += std::min<size_t>(count, left);
  return count <= left ? S_OK : S_FALSE;
}

STDMETHODIMP ConnectionPointEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP ConnectionPointEnumerator::Clone(IEnumConnectionPoints** clone) {
  if (!clone) return E_POINTER;
  auto* copy = new (std::nothrow) ConnectionPointEnumerator(points_);
  *clone = copy;
  if (!copy) return E_OUTOFMEMORY;
  copy->position_ = position_;
  return S_OK;
}

}  // namespace vexil::platform
