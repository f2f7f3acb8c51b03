#include "player/control/connection_point.h"

#include <algorithm>

#include "player/control/bstr.h"
#include "player/control/control_ids.h"

namespace vexil::control {

bool EventConnectionPoint::accepts(REFIID iid) const {
  // Generic sinks that only know IDispatch are welcome too: the event is plain IDispatch::Invoke.
  return IsEqualIID(iid, kEventsIid) || IsEqualIID(iid, IID_IDispatch);
}

void EventConnectionPoint::fireFsCommand(std::string_view command, std::string_view argument) {
  // Sinks may disconnect (or connect) while being called: work on a copy.
  std::vector<Sink> sinks = sinks_;
  for (const Sink& sink : sinks) {
    VARIANTARG arguments[2];  // reverse order: the last parameter first
    VariantInit(&arguments[0]);
    VariantInit(&arguments[1]);
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = utf8ToBstr(argument);
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = utf8ToBstr(command);
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    sink.dispatch->Invoke(kDispidFsCommand, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                          nullptr, nullptr);
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);
  }
}

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = kEventsIid;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IDispatch> dispatch;
  // A sink answers for the event interface or at least for IDispatch.
  if (FAILED(sink->QueryInterface(kEventsIid, dispatch.putVoid())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back({*cookie, std::move(dispatch)});
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
  auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& sink) { return sink.cookie == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sinks_.erase(found);
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
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
  if (count > 0 && position_ == 0) {
    points[0] = point_.get();
    points[0]->AddRef();
    given = 1;
    position_ = 1;
  }
  if (fetched) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP ConnectionPointEnumerator::Skip(ULONG count) {
  ULONG newPosition = position_ + count;
  position_ = std::min<ULONG>(newPosition, 1);
  return newPosition <= 1 ? S_OK : S_FALSE;
}

STDMETHODIMP ConnectionPointEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

STDMETHODIMP ConnectionPointEnumerator::Clone(IEnumConnectionPoints** clone) {
  if (!clone) return E_POINTER;
  auto* copy = new ConnectionPointEnumerator(point_.get());
  copy->position_ = position_;
  *clone = copy;
  return S_OK;
}

}  // namespace vexil::control
