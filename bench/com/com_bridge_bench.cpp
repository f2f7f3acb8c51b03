// Late-bound calls through the script bridge beside the same calls made directly with
// IDispatch::Invoke, on Wine's Scripting.Dictionary and on the project's test server:
//   Dictionary.Item("a"), Dictionary.Count, TestServer.TakeLong(i), TestServer.TakeObject(t).
// The bridge's figure is a script loop's time less the same loop without the call; its overhead per
// call is that less the direct call. Run under Wine: com_bridge_bench.exe TEST_SERVER_DLL [calls]
#include <windows.h>
#include <oaidl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/support/script_bench.h"
#include "classes/class_list.h"
#include "platform/win32/com_ptr.h"
#include "script/runtime/engine.h"
#include "script/vm/script_host.h"

namespace {

using vexil::bench::Clock;
using vexil::bench::scriptedSeconds;
using vexil::bench::secondsSince;
using vexil::platform::ComPtr;

struct Member {
  DISPID id;
  WORD kind;
};

Member memberOf(IDispatch* object, const wchar_t* name, WORD kind) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return {id, kind};
}

// Seconds for `calls` Invokes; the argument (if any) is rebuilt each call, as a client would.
double direct(IDispatch* object, Member member, int calls, bool withString, bool withInteger) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    VARIANT argument;
    VariantInit(&argument);
    if (withString) {
      argument.vt = VT_BSTR;
      argument.bstrVal = SysAllocString(L"a");
    } else if (withInteger) {
      argument.vt = VT_I4;
      argument.lVal = i;
    }
    DISPPARAMS params{&argument, nullptr, UINT(withString || withInteger ? 1 : 0), 0};
    VARIANT result;
    VariantInit(&result);
    object->Invoke(member.id, IID_NULL, 0, member.kind, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    VariantClear(&argument);
  }
  return secondsSince(start);
}

double directObject(IDispatch* object, Member member, int calls) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = object;
    object->AddRef();
    DISPPARAMS params{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    object->Invoke(member.id, IID_NULL, 0, member.kind, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    VariantClear(&argument);
  }
  return secondsSince(start);
}

void report(const char* what, double directSeconds, double bridgeSeconds, int calls) {
  double directNs = directSeconds / calls * 1e9;
  double bridgeNs = bridgeSeconds / calls * 1e9;
  std::printf("%-28s direct %8.0f ns/call (%6.2f M/s)   bridge %8.0f ns/call (%6.2f M/s)   overhead %7.0f ns   ratio %.2f\n",
              what, directNs, 1e3 / directNs, bridgeNs, 1e3 / bridgeNs, bridgeNs - directNs, bridgeNs / directNs);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: com_bridge_bench TEST_SERVER_DLL [calls]\n", stderr);
    return 2;
  }
  int calls = argc > 2 ? std::atoi(argv[2]) : 200000;
  CoInitialize(nullptr);
  HMODULE server = LoadLibraryA(argv[1]);
  auto registerServer = server ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                     reinterpret_cast<void*>(GetProcAddress(server, "DllRegisterServer")))
                               : nullptr;
  if (!registerServer || registerServer() != S_OK) {
    std::fprintf(stderr, "cannot register %s\n", argv[1]);
    return 1;
  }

  vexil::script::ScriptHostOptions options;
  vexil::script::ClassRegistry classes = vexil::classes::standardClasses();
  vexil::script::ScriptHost* host = vexil::script::createScriptHost(&options, &classes);
  const std::string dictionary = "var d = new ActiveXObject(\"Scripting.Dictionary\"); d.Add(\"a\", 1); ";
  const std::string testServer = "var t = new ActiveXObject(\"VexilTest.Server\"); ";
  double loop = scriptedSeconds(*host, "var x = 0; ", "x = i;", calls);

  CLSID clsid;
  ComPtr<IDispatch> d, t;
  CLSIDFromProgID(L"Scripting.Dictionary", &clsid);
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, d.putVoid());
  CLSIDFromProgID(L"VexilTest.Server", &clsid);
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, t.putVoid());
  {
    VARIANT key, item;
    VariantInit(&key);
    VariantInit(&item);
    key.vt = VT_BSTR;
    key.bstrVal = SysAllocString(L"a");
    item.vt = VT_I4;
    item.lVal = 1;
    VARIANT args[] = {item, key};
    DISPPARAMS params{args, nullptr, 2, 0};
    d->Invoke(memberOf(d.get(), L"Add", DISPATCH_METHOD).id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
              nullptr);
    VariantClear(&key);
  }

  std::printf("%d calls each; an empty script loop takes %.0f ns per step (subtracted)\n", calls, loop / calls * 1e9);
  report("Dictionary.Item(\"a\")", direct(d.get(), memberOf(d.get(), L"Item", DISPATCH_PROPERTYGET), calls, true, false),
         scriptedSeconds(*host, dictionary, "x = d.Item(\"a\");", calls) - loop, calls);
  report("Dictionary.Count", direct(d.get(), memberOf(d.get(), L"Count", DISPATCH_PROPERTYGET), calls, false, false),
         scriptedSeconds(*host, dictionary, "x = d.Count;", calls) - loop, calls);
  report("TestServer.TakeLong(i)", direct(t.get(), memberOf(t.get(), L"TakeLong", DISPATCH_METHOD), calls, false, true),
         scriptedSeconds(*host, testServer, "x = t.TakeLong(i);", calls) - loop, calls);
  // An object result: the bridge wraps it in a new ActiveXObject (its events looked up and wired).
  report("TestServer.TakeObject(t)", directObject(t.get(), memberOf(t.get(), L"TakeObject", DISPATCH_METHOD), calls),
         scriptedSeconds(*host, testServer, "x = t.TakeObject(t);", calls) - loop, calls);
  vexil::script::destroyScriptHost(host);
  return 0;
}
