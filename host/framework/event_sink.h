#pragma once
// The dispatch object a hosted control fires its events at. It answers to IDispatch and to the
// control's own event interface, and hands every event to the host.
#include <windows.h>
#include <oaidl.h>

#include "host/framework/control_site.h"

namespace vexil::framework {

class EventSink final : public IDispatch {
 public:
  EventSink(const IID& eventsIid, ControlEvents* events) : eventsIid_(eventsIid), events_(events) {}
  // The host stops listening before it lets go of the control.
  void disconnect() { events_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

 private:
  ~EventSink() = default;
  LONG references_ = 1;
  IID eventsIid_;
  ControlEvents* events_;
};

}  // namespace vexil::framework
