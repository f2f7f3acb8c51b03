// The bridge's events against the engine's life: a server's event runs script between the host's
// outside-run hook calls, and a server that fires after the engine has ended reaches nothing.
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <string>

#include "classes/class_list.h"
#include "objects/com/win32/activex_class.h"
#include "platform/win32/com_ptr.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/vm/script_host.h"

namespace vexil::objects::com {
namespace {

using platform::ComPtr;

// Calls a member of the server directly, as another client of the same object would.
VARIANT callServer(IDispatch* server, const wchar_t* name, int argument) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(server->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = argument;
  DISPPARAMS params{&arg, nullptr, UINT(argument < 0 ? 0 : 1), 0};
  VARIANT result;
  VariantInit(&result);
  WORD kind = argument < 0 ? DISPATCH_PROPERTYGET : DISPATCH_METHOD;
  EXPECT_EQ(server->Invoke(id, IID_NULL, 0, kind, &params, &result, nullptr, nullptr), S_OK);
  return result;
}

class BridgeEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    std::string path = "Z:" + std::string(VEXIL_TEST_AUTOMATION_DLL);
    library_ = LoadLibraryA(path.c_str());
    ASSERT_NE(library_, nullptr);
    auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DllRegisterServer")));
    ASSERT_EQ(registerServer(), S_OK);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"VexilTest.Server", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, server_.putVoid()), S_OK);
    classes_ = classes::standardClasses();
    host_ = script::createScriptHost(&options_, &classes_);
    ASSERT_NE(host_, nullptr);
    wrapDispatch(*host_->engine, server_.get(), &script::globalSlot(*host_->engine, "server"));
  }
  void TearDown() override {
    if (host_) script::destroyScriptHost(host_);
    server_.reset();
    CoUninitialize();
  }
  bool run(const char* text) { return script::runScriptText(*host_, text); }

  HMODULE library_ = nullptr;
  ComPtr<IDispatch> server_;
  script::ScriptHostOptions options_;
  script::ClassRegistry classes_;
  script::ScriptHost* host_ = nullptr;
};

struct RunCounts {
  int begun = 0;
  int ended = 0;
};

TEST_F(BridgeEngine, AnEventRunsBetweenTheOutsideRunHooks) {
  RunCounts counts;
  host_->engine->outsideRunData = &counts;
  host_->engine->outsideRunHook = [](void* data, bool begins) {
    auto* c = static_cast<RunCounts*>(data);
    (begins ? c->begun : c->ended)++;
  };
  ASSERT_TRUE(run("server.Tick = function (n, answer) { answer.value = n * 2; };"));
  EXPECT_EQ(counts.begun, 0);
  VARIANT answer = callServer(server_.get(), L"FireTick", 21);  // fired by another client
  EXPECT_EQ(answer.lVal, 42);
  EXPECT_EQ(counts.begun, 1);
  EXPECT_EQ(counts.ended, 1);
}

TEST_F(BridgeEngine, EventsAfterTheEngineHasEndedReachNothing) {
  ASSERT_TRUE(run("server.Tick = function (n, answer) { answer.value = 99; };"));
  EXPECT_EQ(callServer(server_.get(), L"Sinks", -1).lVal, 1);
  script::destroyScriptHost(host_);
  host_ = nullptr;
  // The engine's end let go of its connection; the server lives on with its other client.
  EXPECT_EQ(callServer(server_.get(), L"Sinks", -1).lVal, 0);
  EXPECT_EQ(callServer(server_.get(), L"FireTick", 5).lVal, 5);
}

}  // namespace
}  // namespace vexil::objects::com
