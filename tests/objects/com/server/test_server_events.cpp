// Members that fire DTestServerEvents to every connected sink, through IDispatch::Invoke with the
// arguments in DISPPARAMS order (last parameter first) and [in, out] parameters as by-reference
// variants, the way a control raises events to a script host.
#include <vector>

#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {
namespace {

constexpr const wchar_t* kInitialReply = L"none";
constexpr const wchar_t* kCancelledSuffix = L" cancelled";

// Event arguments the server owns for the length of one firing; by-reference entries point at the
// firing member's own variables and own nothing.
class EventArguments {
 public:
  EventArguments() = default;
  EventArguments(const EventArguments&) = delete;
  EventArguments& operator=(const EventArguments&) = delete;
  ~EventArguments() {
    for (VARIANTARG& argument : list_) VariantClear(&argument);
  }

  std::vector<VARIANTARG>& list() { return list_; }
  VARIANTARG& add(VARTYPE type) {
    VARIANTARG& argument = list_.emplace_back();
    VariantInit(&argument);
    argument.vt = type;
    return argument;
  }
  void addLong(LONG value) { add(VT_I4).lVal = value; }
  void addText(std::wstring_view text) { add(VT_BSTR).bstrVal = newBstr(text); }
  void addReference(VARTYPE type, void* variable) { add(type | VT_BYREF).byref = variable; }

 private:
  std::vector<VARIANTARG> list_;
};

}  // namespace

void TestServerObject::fireEvent(DISPID id, std::vector<VARIANTARG>& arguments) {
  DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  for (const ComPtr<IDispatch>& sink : events_.sinks<IDispatch>()) {
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
}

// Tick(n, answer): answer starts as n; each sink sees what the one before it left.
STDMETHODIMP TestServerObject::FireTick(LONG n, LONG* answer) {
  if (!answer) return E_POINTER;
  LONG reply = n;
  EventArguments arguments;
  arguments.addReference(VT_I4, &reply);
  arguments.addLong(n);
  fireEvent(kDispidTick, arguments.list());
  *answer = reply;
  return S_OK;
}

// Named(text, reply, cancel): reply starts as "none", cancel as false; the answer is the reply,
// with " cancelled" after it when a sink set cancel.
STDMETHODIMP TestServerObject::FireNamed(BSTR text, BSTR* reply) {
  if (!reply) return E_POINTER;
  *reply = nullptr;
  BSTR replyText = newBstr(kInitialReply);
  if (!replyText) return E_OUTOFMEMORY;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  EventArguments arguments;
  arguments.addReference(VT_BOOL, &cancel);
  arguments.addReference(VT_BSTR, &replyText);
  arguments.addText(bstrView(text));
  fireEvent(kDispidNamed, arguments.list());
  // A sink that changes the reply frees the old text and leaves a new one for the server to free.
  std::wstring answer(bstrView(replyText));
  SysFreeString(replyText);
  if (cancel) answer += kCancelledSuffix;
  return returnText(answer, reply);
}

STDMETHODIMP TestServerObject::FireClick() {
  std::vector<VARIANTARG> none;
  fireEvent(kDispidClick, none);
  return S_OK;
}

// Everything(s, l, d, b, f, v, t, c) with fixed values around the caller's v: short -2, long
// 70000, double 2.5, "text", true, v, date 1.5, currency 1.2345.
STDMETHODIMP TestServerObject::FireAll(VARIANT v) {
  EventArguments arguments;
  arguments.add(VT_CY).cyVal.int64 = 12345;
  arguments.add(VT_DATE).date = 1.5;
  HRESULT copied = VariantCopyInd(&arguments.add(VT_EMPTY), &v);
  if (FAILED(copied)) return copied;
  arguments.add(VT_BOOL).boolVal = VARIANT_TRUE;
  arguments.addText(L"text");
  arguments.add(VT_R8).dblVal = 2.5;
  arguments.addLong(70000);
  arguments.add(VT_I2).iVal = -2;
  fireEvent(kDispidEverything, arguments.list());
  return S_OK;
}

STDMETHODIMP TestServerObject::get_Sinks(LONG* connected) {
  if (!connected) return E_POINTER;
  *connected = static_cast<LONG>(events_.size());
  return S_OK;
}

}  // namespace vexil::test_automation
