// The automation test server as a late-binding client meets it: registered from its DLL, created
// by ProgID, and driven through nothing but IDispatch (GetIDsOfNames + Invoke). Results are read
// back through the server's own record: passing a value to TakeVariant and reading LastArguments
// shows it in the same "vt=<n> <value>" form as the arguments.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/wide_text.h"

using vexil::platform::ComPtr;

namespace {

constexpr const wchar_t* kProgId = L"VexilTest.Server";
constexpr const wchar_t* kVersionedProgId = L"VexilTest.Server.1";

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// The DLL as a Windows path (the build hands us a Unix path, which Wine maps to Z:).
std::wstring serverDllPath() {
  std::string path = VEXIL_TEST_AUTOMATION_DLL;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return vexil::platform::toWide(vexil::platform::utf8ToUtf16(path));
}

// A VARIANT the test owns.
struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(this); }
};

VARIANT longArg(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// The text may hold NULs: the BSTR takes every unit of it.
VARIANT textArg(std::wstring_view text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

struct Outcome {
  HRESULT result;
  std::string description;  // of the result, as the server's record shows it
};

class TestServerClient : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = LoadLibraryW(serverDllPath().c_str()); }
  static void TearDownTestSuite() { FreeLibrary(library_); }

  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_NE(library_, nullptr);
    ASSERT_EQ(entry("DllRegisterServer")(), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, server_.putVoid()), S_OK);
  }

  void TearDown() override {
    server_.reset();
    entry("DllUnregisterServer")();
    CoUninitialize();
  }

  static EntryPoint entry(const char* name) {
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
  }

  DISPID dispid(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(server_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << "no member " << name;
    return id;
  }

  // Calls a member by name; `arguments` are in call order and stay owned by the caller.
  HRESULT call(const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result = nullptr,
               EXCEPINFO* exception = nullptr, WORD flags = DISPATCH_METHOD) {
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    return server_->Invoke(dispid(name), IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, nullptr);
  }

  std::string lastArguments() {
    Variant text;
    EXPECT_EQ(call(L"LastArguments", {}, &text, nullptr, DISPATCH_PROPERTYGET), S_OK);
    if (text.vt != VT_BSTR) return "<not a string>";
    return vexil::platform::utf16ToUtf8(vexil::platform::asUtf16({text.bstrVal, SysStringLen(text.bstrVal)}));
  }

  // The value as the server records it: the last line of what TakeVariant received.
  std::string described(const VARIANT& value) {
    Variant copy;
    call(L"TakeVariant", {value}, &copy);
    std::string record = lastArguments();
    return record.substr(record.rfind('\n') + 1);
  }

  static HMODULE library_;
  ComPtr<IDispatch> server_;
};

HMODULE TestServerClient::library_ = nullptr;

TEST_F(TestServerClient, BothProgIdsNameTheServerUntilItIsUnregistered) {
  CLSID independent{};
  CLSID versioned{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &independent), S_OK);
  ASSERT_EQ(CLSIDFromProgID(kVersionedProgId, &versioned), S_OK);
  EXPECT_TRUE(IsEqualCLSID(independent, versioned));
  ComPtr<IProvideClassInfo> classInfo = server_.as<IProvideClassInfo>(IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass;
  ASSERT_TRUE(classInfo);
  ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualCLSID(attributes->guid, independent));
  coclass->ReleaseTypeAttr(attributes);

  ASSERT_EQ(entry("DllUnregisterServer")(), S_OK);
  EXPECT_EQ(CLSIDFromProgID(kProgId, &independent), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(kVersionedProgId, &versioned), CO_E_CLASSSTRING);
}

TEST_F(TestServerClient, TakersRecordWhatArrivedAndAnswerTheSame) {
  struct Case {
    const wchar_t* member;
    VARIANT argument;
    const char* recorded;
  };
  VARIANT error = longArg(0);
  error.vt = VT_ERROR;
  error.scode = DISP_E_PARAMNOTFOUND;
  VARIANT yes = longArg(0);
  yes.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  VARIANT money = longArg(0);
  money.vt = VT_CY;
  money.cyVal.int64 = 12345;
  VARIANT tenth = longArg(0);
  tenth.vt = VT_R8;
  tenth.dblVal = 0.1;
  Case cases[] = {
      {L"TakeLong", longArg(42), "vt=3 42"},
      {L"TakeString", textArg(std::wstring_view(L"a\tb\0\u00e9", 5)), "vt=8 5:a\\x09b\\x00\xc3\xa9"},
      {L"TakeDouble", tenth, "vt=5 0.10000000000000001"},
      {L"TakeError", error, "vt=10 0x80020004"},
      {L"TakeBool", yes, "vt=11 -1"},
      {L"TakeCurrency", money, "vt=6 12345"},
      {L"TakeAlias", longArg(7), "vt=3 7"},  // a user-defined alias of long reaches the member as VT_I4
  };
  for (const Case& c : cases) {
    Variant answer;
    EXPECT_EQ(call(c.member, {c.argument}, &answer), S_OK) << c.member;
    EXPECT_EQ(lastArguments(), std::string("named=0\nflags=1\n") + c.recorded) << c.member;
    EXPECT_EQ(described(answer), c.recorded) << c.member;
  }
  for (Case& c : cases) VariantClear(&c.argument);
}

TEST_F(TestServerClient, ByReferenceArgumentsComeBackChanged) {
  struct Case {
    const wchar_t* member;
    VARIANT variable;
    bool asVariant;  // passed as VT_VARIANT | VT_BYREF rather than as a typed reference
    const char* recorded;
    const char* after;
  };
  VARIANT real = longArg(0);
  real.vt = VT_R8;
  real.dblVal = 1.25;
  Case cases[] = {
      {L"RefLong", longArg(41), false, "vt=16387 41", "vt=3 42"},
      {L"RefString", textArg(L"a"), false, "vt=16392 1:a", "vt=8 2:a!"},
      {L"RefDouble", real, false, "vt=16389 1.25", "vt=5 2.5"},
      {L"RefVariant", longArg(1), true, "vt=16396 vt=3 1", "vt=3 2"},
      {L"RefVariant", real, true, "vt=16396 vt=5 1.25", "vt=8 7:changed"},
  };
  for (Case& c : cases) {
    VARIANT reference;
    VariantInit(&reference);
    if (c.asVariant) {
      reference.vt = VT_VARIANT | VT_BYREF;
      reference.pvarVal = &c.variable;
    } else {
      reference.vt = c.variable.vt | VT_BYREF;
      reference.byref = &c.variable.llVal;
    }
    EXPECT_EQ(call(c.member, {reference}), S_OK) << c.member;
    EXPECT_EQ(lastArguments(), std::string("named=0\nflags=1\n") + c.recorded) << c.member;
    EXPECT_EQ(described(c.variable), c.after) << c.member;
    VariantClear(&c.variable);
  }
}

TEST_F(TestServerClient, FailuresReachTheClientAsInvokeResultsOrExceptions) {
  EXPECT_EQ(call(L"Fail", {longArg(E_ACCESSDENIED)}), E_ACCESSDENIED);
  Variant item;
  EXPECT_EQ(call(L"Item", {longArg(3)}, &item), DISP_E_BADINDEX);
  // Items takes no index: a client that wants server.Items(2) reads Items, then calls its Item.
  EXPECT_EQ(call(L"Items", {longArg(2)}, &item, nullptr, DISPATCH_METHOD | DISPATCH_PROPERTYGET), DISP_E_BADPARAMCOUNT);

  VARIANT description = textArg(L"it went wrong");
  EXCEPINFO exception{};
  EXPECT_EQ(call(L"Raise", {description}, nullptr, &exception), DISP_E_EXCEPTION);
  VariantClear(&description);
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  auto text = [](BSTR value) { return std::wstring(value ? value : L"<null>"); };
  EXPECT_EQ(text(exception.bstrSource), L"VexilTest");
  EXPECT_EQ(text(exception.bstrDescription), L"it went wrong");
  EXPECT_EQ(text(exception.bstrHelpFile), L"test.hlp");
  EXPECT_EQ(static_cast<unsigned>(exception.scode), 0x80040201u);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

// Doubles the answer of every Tick it hears and counts them; lives on the test's stack.
class TickSink final : public IDispatch {
 public:
  explicit TickSink(const IID& events) : events_(events) {}
  std::vector<std::pair<DISPID, LONG>> ticks;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_);
    *object = known ? static_cast<IDispatch*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    // Tick(n, answer): in DISPPARAMS order, answer (by reference) comes first.
    if (params->cArgs != 2 || params->rgvarg[0].vt != (VT_I4 | VT_BYREF) || params->rgvarg[1].vt != VT_I4) {
      return DISP_E_TYPEMISMATCH;
    }
    ticks.emplace_back(id, params->rgvarg[1].lVal);
    *params->rgvarg[0].plVal *= 2;
    return S_OK;
  }

 private:
  IID events_;
};

TEST_F(TestServerClient, FireTickReachesAConnectedSinkUntilItDisconnects) {
  // The event interface and the Tick DISPID, found as a late-binding client finds them.
  auto classInfo = server_.as<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_TRUE(classInfo);
  IID events{};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeInfo> eventInfo;
  HREFTYPE eventType = 0;
  ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
  ASSERT_EQ(coclass->GetRefTypeOfImplType(1, &eventType), S_OK);
  ASSERT_EQ(coclass->GetRefTypeInfo(eventType, eventInfo.put()), S_OK);
  LPOLESTR tickName[] = {const_cast<LPOLESTR>(L"Tick")};
  MEMBERID tick = DISPID_UNKNOWN;
  ASSERT_EQ(eventInfo->GetIDsOfNames(tickName, 1, &tick), S_OK);

  ComPtr<IConnectionPoint> point;
  auto container = server_.as<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ASSERT_EQ(container->FindConnectionPoint(events, point.put()), S_OK);
  TickSink sink(events);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  Variant sinks;
  ASSERT_EQ(call(L"Sinks", {}, &sinks, nullptr, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(described(sinks), "vt=3 1");

  Variant answer;
  ASSERT_EQ(call(L"FireTick", {longArg(21)}, &answer), S_OK);
  EXPECT_EQ(described(answer), "vt=3 42");  // the sink doubled the answer, which started as n
  ASSERT_EQ(sink.ticks.size(), 1u);
  EXPECT_EQ(sink.ticks[0], std::make_pair(DISPID{tick}, LONG{21}));

  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  ASSERT_EQ(call(L"Sinks", {}, &sinks, nullptr, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(described(sinks), "vt=3 0");
  ASSERT_EQ(call(L"FireTick", {longArg(21)}, &answer), S_OK);
  EXPECT_EQ(described(answer), "vt=3 21");
  EXPECT_EQ(sink.ticks.size(), 1u);
}

TEST_F(TestServerClient, ArrayMembersAnswerSafeArraysOfTheirShape) {
  struct Case {
    const wchar_t* member;
    std::vector<VARIANT> arguments;
    const char* described;
  };
  const Case cases[] = {
      {L"Bytes", {longArg(300)}, "vt=8209 array dims=1 vt=17 lbounds=0 counts=300"},
      {L"EmptyBytes", {}, "vt=8209 array dims=1 vt=17 lbounds=0 counts=0"},
      {L"OffsetBytes", {}, "vt=8209 array dims=1 vt=17 lbounds=5 counts=3"},
      {L"Strings", {}, "vt=8200 array dims=1 vt=8 lbounds=0 counts=3"},
      {L"Variants", {}, "vt=8204 array dims=1 vt=12 lbounds=0 counts=4"},
      {L"Matrix", {}, "vt=8195 array dims=2 vt=3 lbounds=0,0 counts=2,3"},
      {L"StringMatrix", {}, "vt=8200 array dims=2 vt=8 lbounds=0,0 counts=2,2"},
  };
  for (const Case& c : cases) {
    Variant answer;
    EXPECT_EQ(call(c.member, c.arguments, &answer), S_OK) << c.member;
    EXPECT_EQ(described(answer), c.described) << c.member;
  }

  // Bytes(n) holds 0, 1, 2, ... modulo 256; the matrix holds 1 to 6 in memory order.
  Variant bytes;
  ASSERT_EQ(call(L"Bytes", {longArg(300)}, &bytes), S_OK);
  ASSERT_EQ(bytes.vt, VT_ARRAY | VT_UI1);
  BYTE element = 0;
  LONG index = 257;
  ASSERT_EQ(SafeArrayGetElement(bytes.parray, &index, &element), S_OK);
  EXPECT_EQ(element, 1);
  Variant matrix;
  ASSERT_EQ(call(L"Matrix", {}, &matrix), S_OK);
  LONG cell[] = {1, 2};  // first dimension varies fastest: 1 + 1 + 2 * 2
  LONG value = 0;
  ASSERT_EQ(SafeArrayGetElement(matrix.parray, cell, &value), S_OK);
  EXPECT_EQ(value, 6);
}

}  // namespace
