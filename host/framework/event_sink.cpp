#include "host/framework/event_sink.h"

namespace vexil::framework {

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, eventsIid_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                               UINT*) {
  if (result) VariantInit(result);
  if (!events_) return S_OK;
  DISPPARAMS none{};
  // The sink may be released from inside the handler (the host closing): hold on to it until done.
  AddRef();
  events_->onControlEvent(id, parameters ? *parameters : none);
  Release();
  return S_OK;
}

}  // namespace vexil::framework
