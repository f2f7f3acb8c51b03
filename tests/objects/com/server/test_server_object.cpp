#include "tests/objects/com/server/test_server_object.h"

#include <new>

#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"
#include "tests/objects/com/server/argument_recorder.h"
#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_item_object.h"
#include "tests/objects/com/server/type_library.h"

namespace vexil::test_automation {
namespace {

void clearException(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = {};
}

// ITypeInfo::Invoke reports every failing member as DISP_E_EXCEPTION with the member's HRESULT in
// the EXCEPINFO. A member that raised an error object (Raise) keeps that form, so the client reads
// source, description and help file; one that merely returned a failure (Fail, Item with a bad
// index) has its HRESULT returned by Invoke itself, as a hand-written IDispatch would.
HRESULT passOn(HRESULT result, EXCEPINFO& raised, EXCEPINFO* exception) {
  if (result == DISP_E_EXCEPTION && raised.pfnDeferredFillIn) raised.pfnDeferredFillIn(&raised);
  if (result == DISP_E_EXCEPTION && !raised.bstrSource && !raised.bstrDescription && FAILED(raised.scode)) {
    result = raised.scode;
  }
  if (result == DISP_E_EXCEPTION && exception) {
    *exception = raised;
  } else {
    clearException(raised);
  }
  return result;
}

}  // namespace

TestServerObject::TestServerObject()
    : events_(*this, DIID_DTestServerEvents, &IID_IDispatch), propertyNotifications_(*this, IID_IPropertyNotifySink) {}

HRESULT TestServerObject::create(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* server = new (std::nothrow) TestServerObject();
  if (!server) return E_OUTOFMEMORY;
  HRESULT result = server->initialize();
  if (SUCCEEDED(result)) result = server->QueryInterface(iid, object);
  server->Release();
  return result;
}

HRESULT TestServerObject::initialize() {
  HRESULT result = loadTypeInfo(IID_ITestServer, typeInfo_);
  for (LONG index = 0; SUCCEEDED(result) && index < kItemCount; ++index) {
    result = TestItemObject::create(index, items_.emplace_back());
  }
  return result;
}

STDMETHODIMP TestServerObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_ITestServer)) {
    *object = static_cast<ITestServer*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2)) {
    *object = static_cast<IProvideClassInfo2*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TestServerObject::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP TestServerObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                      EXCEPINFO* exception, UINT* badArgument) {
  // Reading the record must not replace it.
  if (id != kDispidLastArguments) lastArguments_ = describeInvoke(flags, params);
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!readableParams(params)) return E_INVALIDARG;
  // ITypeInfo::Invoke would itself call the default member of Items' result with the extra
  // arguments; refusing them leaves that step to the client, whose shortcut Items is there to test.
  if (id == kDispidItems && params->cArgs > 0) return DISP_E_BADPARAMCOUNT;
  // An error object left over from an earlier failure must not reach this call's EXCEPINFO.
  SetErrorInfo(0, nullptr);
  EXCEPINFO raised{};
  HRESULT outcome = typeInfo_->Invoke(static_cast<ITestServer*>(this), id, flags, params, result, &raised, badArgument);
  return passOn(outcome, raised, exception);
}

STDMETHODIMP TestServerObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = new (std::nothrow) platform::ConnectionPointEnumerator({&events_, &propertyNotifications_});
  return *points ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TestServerObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (platform::ConnectionPoint* candidate : {&events_, &propertyNotifications_}) {
    if (candidate->serves(iid)) {
      *point = candidate;
      candidate->AddRef();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP TestServerObject::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ComPtr<ITypeInfo> classInfo;
  HRESULT result = loadTypeInfo(CLSID_TestServer, classInfo);
  if (SUCCEEDED(result)) {
    *info = classInfo.get();
    (*info)->AddRef();
  }
  return result;
}

STDMETHODIMP TestServerObject::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID_DTestServerEvents;
  return S_OK;
}

STDMETHODIMP TestServerObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID_ITestServer) ? S_OK : S_FALSE;
}

STDMETHODIMP TestServerObject::get_LastArguments(BSTR* text) {
  return returnText(platform::asWide(platform::utf8ToUtf16(lastArguments_)), text);
}

}  // namespace vexil::test_automation
